// The question asked before a save replaces a file that another program has
// changed since this one read or wrote it.
#include "lib/kern.h"
#include "lib/status.h"
#include "scrmgr/scrmgr.h"

namespace {

const char *const Q_CHANGED = "The file has changed on disk since it was read; replace it anyway? ";

} // namespace

int ask_if_changed_on_disk(const char *name, bool *go) {
  *go = true;
  if (check_unchanged_kern(name) == 0) return 0;
  int16_t answer = 0;
  int st = ask_yes_no(Q_CHANGED, &answer);
  if (st > 0) return st;
  clear_prompt_line();
  *go = answer == 1;
  // Kept in view after No: the reason nothing was saved.
  return *go ? 0 : show_message(ST_CHANGED_ON_DISK);
}
