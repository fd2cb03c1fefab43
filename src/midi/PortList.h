#pragma once
// The port listing of --list-ports: the input ports, then the output ports,
// one a line as "in<TAB>INDEX<TAB>NAME" or "out<TAB>INDEX<TAB>NAME".

#include <ostream>

// Uses the process's registries (creating them); raises EMidiError when the
// service fails to enumerate.
void WritePortList(std::ostream& aOut);
