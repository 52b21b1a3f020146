#pragma once
// File attributes with the bit values the library's data has always used.

namespace platform {

using Attributes = unsigned;

enum Attribute : Attributes {
    ReadOnly = 0x01,
    Hidden = 0x02,
    System = 0x04,
    Directory = 0x10,
    Archive = 0x20,
};

} // namespace platform
