#pragma once
// Placeholder: the feed-forward network class arrives with the neural material term.

namespace zelmora {

class Network {};

}  // namespace zelmora
