// The shared library's own translation unit; everything else comes from the
// static parts linked in whole.
#include "component/clsParlow6dl.h"
