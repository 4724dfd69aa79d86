#include "uci/uci_protocol.h"

namespace zelmora {

void UciProtocol::testpos(const char*) {}

}  // namespace zelmora
