// Compiled against one layer of the troubleshooter with the header to include named by the
// build: whether it compiles says whether the layer sees that header.
#include PROBE_HEADER
