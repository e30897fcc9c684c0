// Key tables shared by the settings readers and writers: one row per key
// names the key and the field it fills, so reading and writing a group can
// never disagree about a key. Internal to the settings module.
#pragma once

#include <cstddef>
#include <string>

#include "settings/ini_file.h"
#include "settings/settings.h"

namespace orbisto::settings_detail {

template <class S>
struct IntKey {
    const char* key;
    int S::*field;
};

template <class S>
struct StringKey {
    const char* key;
    std::string S::*field;
    size_t buffer_size;
};

// A missing key keeps the field's current value, which the callers set to
// the default beforehand.
template <class S, size_t N>
void read_ints(const IniFile& ini, const char* section, const IntKey<S> (&keys)[N], S& out) {
    for (const auto& k : keys) out.*k.field = ini.get_int(section, k.key, out.*k.field);
}

template <class S, size_t N>
void write_ints(IniFile& ini, const char* section, const IntKey<S> (&keys)[N], const S& in) {
    for (const auto& k : keys) ini.set_int(section, k.key, in.*k.field);
}

template <class S, size_t N>
void read_strings(const IniFile& ini, const char* section, const StringKey<S> (&keys)[N], S& out) {
    for (const auto& k : keys) {
        out.*k.field = ini.get_string(section, k.key, out.*k.field, k.buffer_size);
    }
}

template <class S, size_t N>
void write_strings(IniFile& ini, const char* section, const StringKey<S> (&keys)[N], const S& in) {
    for (const auto& k : keys) {
        ini.set(section, k.key, cut_utf8(in.*k.field, k.buffer_size - 1));
    }
}

// Section "freeDB", read with the options and again with the start state.
FreeDbSettings read_freedb(const IniFile& ini);
void write_freedb(IniFile& ini, const FreeDbSettings& f);

// Today's local date as year, month (1-12) and day.
struct Date {
    int year;
    int month;
    int day;
};
Date today();

}  // namespace orbisto::settings_detail
