// The batch sources are part of the command-line tool, which tests do not
// link; they are compiled here, as one translation unit to keep the build
// short (their file-local names do not clash).
#include "quorvix/batch_convert.cc"
#include "quorvix/batch_pool.cc"
#include "quorvix/batch_progress.cc"
#include "quorvix/batch_reader.cc"
#include "quorvix/batch_summary.cc"
