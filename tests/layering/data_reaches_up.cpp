// A data file that reaches up into the query layer: the data layer's include
// root does not offer that folder, so this must not compile.
#include "query/NumberText.h"
