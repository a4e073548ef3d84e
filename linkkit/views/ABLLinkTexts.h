#pragma once

#include <string>

// The kit's user-visible texts, each looked up once by key in the kit's resource bundle, with
// the English text as fallback.
namespace ABLLinkTexts {

std::string const& text(char const* key);

// The banner's text for a peer count: "No Links", "1 Link", "%u Links".
std::string bannerText(unsigned long peers);
// The status cell's text: "No peers connected", "Connected to 1 peer", "Connected to %zu peers".
std::string peersConnectedText(unsigned long peers);

// A counted text: the first "%u", "%zu", "%lu" or "%d" of the format replaced by the count.
// The format comes from a translation file, so it is never handed to printf.
std::string withCount(std::string const& format, unsigned long count);

} // namespace ABLLinkTexts
