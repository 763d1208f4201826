#include "TextCodec.h"

#include <cerrno>
#include <iconv.h>

namespace chess {

bool IsValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra;
        unsigned min;
        unsigned cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= static_cast<std::size_t>(extra))
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

namespace {

// Converts with iconv; bytes it cannot map become `replacement`, so a file
// with odd bytes still yields text rather than an error.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out, const char* replacement)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string result;
    result.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[1024];
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        result.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            if (!replacement) {
                ok = false;
                break;
            }
            result += replacement;
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    if (ok)
        out = std::move(result);
    return ok;
}

}  // namespace

std::string Cp1250ToUtf8(std::string_view bytes)
{
    std::string out;
    // Five bytes of code page 1250 are unassigned; they show as U+FFFD.
    if (!Convert("UTF-8", "CP1250", bytes, out, "\xEF\xBF\xBD"))
        out.assign(bytes);
    return out;
}

std::string ToUtf8(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Cp1250ToUtf8(bytes);
}

bool ToCp1250(std::string_view utf8, std::string& out)
{
    return Convert("CP1250", "UTF-8", utf8, out, nullptr);
}

std::string_view CutUtf8(std::string_view text, std::size_t maxCharacters)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Every byte that does not continue a character starts one.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == maxCharacters)
            return text.substr(0, i);
    }
    return text;
}

}  // namespace chess
