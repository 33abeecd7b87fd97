// Definitions of the identifiers that widl declares in quillet_h.h.
#include <windows.h>

#include "quillet_i.c"
