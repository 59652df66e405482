// Batch update of a terminal description, without the screen.
#include "edit/revision_batch.h"
#include "edit/selectors.h"
#include "lib/strs.h"
#include "lib/tdi_store.h"
#include "tdi/tdi.h"

namespace {

// The description store's calls for the shared batch steps.
const revision_store tdi_revision_store = {
    .open_call = "open_tdi",
    .ext = ".tdi",
    .default_names = def_term_filename,
    .open = open_tdi,
    .load = load_tdi,
    .uprev = uprev_tdi,
    .save = save_tdi,
    .error_text = get_error_buffer_tdi,
    .close = close_tdi,
};

} // namespace

int tdi_batch(const char *tdi_name) {
  return revision_batch(tdi_revision_store, tdi_name, base_terminal);
}
