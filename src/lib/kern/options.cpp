// The option scanner and the printing of the effective options.
#include <cstring>
#include <string>

#include "lib/kern.h"
#include "lib/names.h"
#include "lib/status.h"

namespace {

// Moves to the next argument word; OPT_END when it is not an option word.
// `rest` is left at the first letter of the new word.
int next_word(int argc, char **argv, int *optind, char **rest) {
  if (*rest) ++*optind; // the previous word is used up
  *rest = nullptr;
  if (*optind >= argc || !argv[*optind]) return OPT_END;
  char *word = argv[*optind];
  if (word[0] != '-' || word[1] == '\0') return OPT_END; // operand, or "-"
  if (std::strcmp(word, "--") == 0) {
    ++*optind;
    return OPT_END;
  }
  *rest = word + 1;
  return 0;
}

// Takes the argument of the letter just read: the rest of the word, else the
// next word.
int take_argument(int argc, char **argv, int *optind, char **rest, char **arg) {
  if (**rest) {
    *arg = *rest;
  } else if (*optind + 1 < argc && argv[*optind + 1]) {
    ++*optind;
    *arg = argv[*optind];
  } else {
    *arg = nullptr;
    return ST_NO_ARGUMENT;
  }
  *rest = *arg + std::strlen(*arg); // the word is used up
  if (std::strlen(*arg) > NAME_MAX_LEN) {
    *arg = nullptr;
    return ST_ARG_TOO_LONG;
  }
  return 0;
}

} // namespace

int getopt_kern(int argc, char **argv, const char *letters, int *optind, char **rest, char *letter,
                char **arg) {
  if (!argv || !letters || !optind || !rest || !letter || !arg) return ST_FAILED;
  *arg = nullptr;
  if (*optind < 1) *optind = 1;
  if (!*rest || !**rest) {
    if (next_word(argc, argv, optind, rest) == OPT_END) return OPT_END;
    // "--name" is one option, not letters: letter '-', the name its argument.
    if (**rest == '-') {
      *letter = '-';
      *arg = *rest + 1;
      *rest += std::strlen(*rest);
      return 0;
    }
  }
  char c = *(*rest)++;
  *letter = c;
  const char *found = c == ':' ? nullptr : std::strchr(letters, c);
  if (!found) return ST_BAD_OPTION;
  if (found[1] != ':') return 0;
  return take_argument(argc, argv, optind, rest, arg);
}

// One line of the effective options, wrapped at `width` columns so that a
// long list stays readable; the numeric arguments carry no meaning here.
int printopt_kern(int argc, char **argv, int width, int, int) {
  if (argc < 0 || (argc > 0 && !argv)) return ST_FAILED;
  if (width < 20) width = 80;
  std::string line = "options:";
  for (int i = 1; i < argc; ++i) {
    if (!argv[i]) break;
    std::string word = argv[i];
    if (line.size() + 1 + word.size() > static_cast<size_t>(width) && line.size() > 8) {
      printf_stderr_kern("%s\n", line.c_str());
      line = "        ";
    }
    line += " " + word;
  }
  printf_stderr_kern("%s\n", line.c_str());
  return 0;
}
