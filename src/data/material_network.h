#pragma once
// Fixed data of the program, generated once by tools/gen_material_network.py
// (material_network.cpp): the built-in material network in the network text format.

namespace zelmora::data {

extern const char MATERIAL_NETWORK_TEXT[];

}  // namespace zelmora::data
