#include "exchange/TextFile.h"

#include <cstdint>

#include "file/ReplaceFile.h"

namespace MyApp {

namespace {

constexpr std::size_t PartBytes = 256 * 1024;

}  // namespace

bool WriteTextFile(const std::string& path, const TextParts& next) {
    std::string buffer;
    bool more = true;
    return WriteFileReplacing(path, [&](const std::uint8_t*& data, std::size_t& size) {
        buffer.clear();
        while (more && buffer.size() < PartBytes) more = next(buffer);
        data = reinterpret_cast<const std::uint8_t*>(buffer.data());
        size = buffer.size();
        return true;
    });
}

std::string CollectText(const TextParts& next) {
    std::string text;
    while (next(text)) {
    }
    return text;
}

}  // namespace MyApp
