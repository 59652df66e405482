// Entry of xnconfig.
#include "frame/frame.h"

int main(int argc, char **argv) { return run_program(argc, argv); }
