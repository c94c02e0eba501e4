#pragma once

namespace vz {

// Standard input, output and error pass bytes unchanged: on Windows they
// would otherwise turn LF into CR LF on the way out and stop reading at a
// Ctrl-Z byte, so a piped tick file or a redirected message would differ
// from the same run elsewhere. Does nothing where streams are bytes already.
void useBinaryStandardStreams();

} // namespace vz
