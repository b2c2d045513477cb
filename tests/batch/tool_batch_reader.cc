// The batch sources are part of the command-line tool, which tests do not
// link; each is compiled here as its own translation unit.
#include "quorvix/batch_reader.cc"
