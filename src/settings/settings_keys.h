// Key tables shared by the settings readers and writers: one row per key
// names the key and the field it fills, so reading and writing a group can
// never disagree about a key. Internal to the settings module.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>

#include "settings/ini_file.h"
#include "settings/settings.h"

namespace orbisto::settings_detail {

// How a stored number becomes a switch. Most switches are on for any
// non-zero number; a few have always been on for exactly 1, and a 2 there
// still means off.
enum class OnWhen { NonZero, One };

// The stored numbers of the choices. A number that names no choice leaves
// the choice as it was (the default, set by the reader beforehand).
int to_stored(ExpansionMode v);
int to_stored(Language v);
int to_stored(SearchMode v);
int to_stored(OutputTarget v);
int to_stored(OutputScope v);
int to_stored(OutputFormat v);
int to_stored(OutputFilter v);
void from_stored(int n, ExpansionMode& v);
void from_stored(int n, Language& v);
void from_stored(int n, SearchMode& v);
void from_stored(int n, OutputTarget& v);
void from_stored(int n, OutputScope& v);
void from_stored(int n, OutputFormat& v);
void from_stored(int n, OutputFilter& v);

template <class M>
struct MemberOf;
template <class S, class T>
struct MemberOf<T S::*> {
    using Struct = S;
    using Type = T;
};

// One numeric key of a group: its name and how the number it stores is
// taken from and put into the field it belongs to.
template <class S>
struct IntKey {
    const char* key;
    int (*get)(const S&);
    void (*set)(S&, int);
};

// The row of key for Field, an int, bool or choice member. A bool is
// written as 1 or 0 and read by rule.
template <auto Field, OnWhen rule = OnWhen::NonZero>
constexpr IntKey<typename MemberOf<decltype(Field)>::Struct> int_key(const char* key) {
    using S = typename MemberOf<decltype(Field)>::Struct;
    using T = typename MemberOf<decltype(Field)>::Type;
    if constexpr (std::is_same_v<T, int>) {
        return {key, [](const S& s) { return s.*Field; }, [](S& s, int n) { s.*Field = n; }};
    } else if constexpr (std::is_same_v<T, bool>) {
        return {key, [](const S& s) { return s.*Field ? 1 : 0; },
                [](S& s, int n) { s.*Field = rule == OnWhen::One ? n == 1 : n != 0; }};
    } else {
        return {key, [](const S& s) { return to_stored(s.*Field); },
                [](S& s, int n) { from_stored(n, s.*Field); }};
    }
}

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
    for (const auto& k : keys) k.set(out, ini.get_int(section, k.key, k.get(out)));
}

template <class S, size_t N>
void write_ints(IniFile& ini, const char* section, const IntKey<S> (&keys)[N], const S& in) {
    for (const auto& k : keys) ini.set_int(section, k.key, k.get(in));
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
