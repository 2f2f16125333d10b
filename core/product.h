// Names the whole package shares.
#pragma once

namespace product {

// The product web address that the installer's pictures and the tray
// program's links open. A reserved example domain until the product has its own.
constexpr char kWebAddress[] = "https://www.example.com/brevok/";
// What the link labels show: the address's host name.
constexpr char kWebHost[] = "www.example.com";

}  // namespace product
