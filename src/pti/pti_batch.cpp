// Batch update of a printer translation, without the screen.
#include "edit/revision_batch.h"
#include "edit/selectors.h"
#include "lib/pti_store.h"
#include "lib/strs.h"
#include "pti/pti.h"

namespace {

// The translation store's calls for the shared batch steps.
const revision_store pti_revision_store = {
    .open_call = "open_pti",
    .ext = ".pti",
    .default_names = pti_filename,
    .open = open_pti,
    .load = load_pti,
    .uprev = uprev_pti,
    .save = save_pti,
    .error_text = get_error_buffer_pti,
    .close = close_pti,
};

} // namespace

int pti_batch(const char *pti_name) {
  return revision_batch(pti_revision_store, pti_name, printer_type);
}
