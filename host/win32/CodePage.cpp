#include "zk/host/win32/CodePage.h"

#include <iconv.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

namespace zk::win32 {

namespace {

constexpr const char* AnsiPage = "CP1252";
constexpr const char* DefaultOemPage = "CP437";

using TByteMap = std::array<char, 256>;

struct TPageMaps {
    std::string OemSetting;  // MAILSLOT_OEM_CODEPAGE as it was when the maps were built
    TByteMap ToOem;
    TByteMap ToAnsi;
};

std::string OemSetting() {
    const char* v = std::getenv("MAILSLOT_OEM_CODEPAGE");
    return v ? v : "";
}

// The iconv name of the OEM page a setting names: "850" is CP850; an unknown name is 437.
std::string OemPageName(const std::string& Setting) {
    if (Setting.empty()) return DefaultOemPage;
    bool digits = true;
    for (char c : Setting) digits = digits && std::isdigit(static_cast<unsigned char>(c));
    const std::string name = digits ? "CP" + Setting : Setting;
    iconv_t probe = iconv_open(name.c_str(), AnsiPage);
    if (probe == reinterpret_cast<iconv_t>(-1)) return DefaultOemPage;
    iconv_close(probe);
    return name;
}

// Where each byte of page From lands in page To. A byte that has no single-byte counterpart
// becomes '?', so conversions never change a text's length. Without iconv support for the pages
// only ASCII is carried over.
TByteMap BuildMap(const std::string& To, const std::string& From) {
    TByteMap map;
    map.fill('?');
    iconv_t cd = iconv_open(To.c_str(), From.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (int i = 0; i < 128; ++i) map[i] = static_cast<char>(i);
        return map;
    }
    for (int i = 0; i < 256; ++i) {
        char in = static_cast<char>(i);
        char out[8];
        char* inPtr = &in;
        char* outPtr = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
            outPtr - out == 1)
            map[i] = out[0];
    }
    iconv_close(cd);
    map[0] = '\0';
    return map;
}

// The maps for the current setting; rebuilt when the setting changed since the last call.
std::shared_ptr<const TPageMaps> PageMaps() {
    static std::mutex lock;
    static std::shared_ptr<const TPageMaps> cached;
    const std::string setting = OemSetting();
    std::lock_guard<std::mutex> guard(lock);
    if (!cached || cached->OemSetting != setting) {
        auto maps = std::make_shared<TPageMaps>();
        const std::string oem = OemPageName(setting);
        maps->OemSetting = setting;
        maps->ToOem = BuildMap(oem, AnsiPage);
        maps->ToAnsi = BuildMap(AnsiPage, oem);
        cached = std::move(maps);
    }
    return cached;
}

bool Translate(const char* src, char* dst, const TByteMap& Map) {
    if (!src || !dst) return false;
    for (; *src; ++src, ++dst) *dst = Map[static_cast<unsigned char>(*src)];
    *dst = '\0';
    return true;
}

}  // namespace

bool CharToOemA(const char* src, char* dst) { return Translate(src, dst, PageMaps()->ToOem); }

bool OemToCharA(const char* src, char* dst) { return Translate(src, dst, PageMaps()->ToAnsi); }

}  // namespace zk::win32
