// The tree access interface has no code of its own; its destructor anchors
// the interface's type information in the library.

#include "velt_graph_config.h"

namespace VELT {

IGraphConfig::~IGraphConfig() = default;

}  // namespace VELT
