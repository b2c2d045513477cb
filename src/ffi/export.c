/* The shared library's own translation unit: its exported functions come from
 * the static core, linked in whole and filtered by exports.map. */
#include "quorvix.h"
