#include "uci/uci_protocol.h"

namespace zelmora {

void UciProtocol::mat(const char*) {}

}  // namespace zelmora
