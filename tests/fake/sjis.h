#pragma once
// Test-side Shift_JIS: converts readable UTF-8 text with iconv, so that the
// tests never share byte literals with the plugin.

#include <iconv.h>

#include <stdexcept>
#include <string>

inline std::string Sjis(const std::string& utf8) {
    iconv_t convert = iconv_open("CP932", "UTF-8");
    if (convert == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("no CP932 converter");
    }
    std::string in = utf8;
    std::string out(in.size() * 2 + 1, '\0');
    char* in_at = &in[0];
    size_t in_left = in.size();
    char* out_at = &out[0];
    size_t out_left = out.size();
    const size_t done = iconv(convert, &in_at, &in_left, &out_at, &out_left);
    iconv_close(convert);
    if (done == static_cast<size_t>(-1)) {
        throw std::runtime_error("cannot convert to CP932: " + utf8);
    }
    out.resize(out.size() - out_left);
    return out;
}
