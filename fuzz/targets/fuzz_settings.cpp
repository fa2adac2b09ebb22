// The settings file: whatever the file holds, reads never fail, and a write changes exactly the
// one value it writes.
#include <array>

#include "FuzzDir.h"
#include "core/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzzDir() + "/config.ini";
    writeFile(path, data, size);
    IniFile ini(path);
    struct Key {
        const char* section;
        const char* key;
    };
    static const std::array<Key, 6> keys = {{{"Set", "RunMode"},
                                             {"Set", "Weather"},
                                             {"set", "auto_play"},
                                             {"Set", "Music_SJ"},
                                             {"CloseTime", "Hour"},
                                             {"CloseTime", "Minute"}}};
    std::array<int, keys.size()> before{};
    for (size_t i = 0; i < keys.size(); ++i) {
        before[i] = ini.readInteger(keys[i].section, keys[i].key, -12345);
    }
    const size_t which = size > 1 ? data[1] % keys.size() : 0;
    const int value = size > 0 ? data[0] - 100 : 7;
    ini.writeInteger(keys[which].section, keys[which].key, value);
    for (size_t i = 0; i < keys.size(); ++i) {
        const int after = ini.readInteger(keys[i].section, keys[i].key, -12345);
        FUZZ_CHECK(after == (i == which ? value : before[i]));
    }
    return 0;
}
