// The stored numbers of the settings that are choices: the numbers of the
// dialog controls that once offered them, which the settings file keeps.
#include <utility>

#include "settings/settings_keys.h"

namespace orbisto::settings_detail {

namespace {

template <class E, size_t N>
using Numbers = std::pair<E, int>[N];

constexpr Numbers<ExpansionMode, 3> kArchiveExpansion = {
    {ExpansionMode::Nothing, 2054},
    {ExpansionMode::DescriptionOnly, 2055},
    {ExpansionMode::All, 2056},
};

constexpr Numbers<Language, 2> kLanguage = {{Language::German, 0}, {Language::English, 1}};

constexpr Numbers<SearchMode, 7> kSearchMode = {
    {SearchMode::Normal, 507},     {SearchMode::Approximate, 508}, {SearchMode::Similarity, 509},
    {SearchMode::Thumbnails, 510}, {SearchMode::Regular, 511},     {SearchMode::Favourites, 512},
    {SearchMode::Duplicates, 513},
};

constexpr Numbers<OutputTarget, 2> kOutputTarget = {{OutputTarget::File, 303},
                                                    {OutputTarget::Printer, 304}};

constexpr Numbers<OutputScope, 6> kOutputScope = {
    {OutputScope::AllMedia, 305},     {OutputScope::LentMedia, 306},
    {OutputScope::Category, 307},     {OutputScope::CurrentMedium, 308},
    {OutputScope::SearchResult, 309}, {OutputScope::FromPath, 310},
};

constexpr Numbers<OutputFormat, 5> kOutputFormat = {
    {OutputFormat::Files, 311}, {OutputFormat::Tree, 312},      {OutputFormat::Csv, 313},
    {OutputFormat::Dbase, 314}, {OutputFormat::MediaList, 315},
};

constexpr Numbers<OutputFilter, 4> kOutputFilter = {
    {OutputFilter::Normal, 342},
    {OutputFilter::Regular, 343},
    {OutputFilter::Thumbnails, 344},
    {OutputFilter::Favourites, 345},
};

template <class E, size_t N>
int number_of(const Numbers<E, N>& table, E v) {
    for (const auto& [e, n] : table) {
        if (e == v) return n;
    }
    return table[0].second;  // not reached: every enumerator has a row
}

template <class E, size_t N>
void choice_of(const Numbers<E, N>& table, int n, E& v) {
    for (const auto& [e, number] : table) {
        if (number == n) {
            v = e;
            return;
        }
    }
}

}  // namespace

int to_stored(ExpansionMode v) {
    return number_of(kArchiveExpansion, v);
}
int to_stored(Language v) {
    return number_of(kLanguage, v);
}
int to_stored(SearchMode v) {
    return number_of(kSearchMode, v);
}
int to_stored(OutputTarget v) {
    return number_of(kOutputTarget, v);
}
int to_stored(OutputScope v) {
    return number_of(kOutputScope, v);
}
int to_stored(OutputFormat v) {
    return number_of(kOutputFormat, v);
}
int to_stored(OutputFilter v) {
    return number_of(kOutputFilter, v);
}

void from_stored(int n, ExpansionMode& v) {
    choice_of(kArchiveExpansion, n, v);
}
void from_stored(int n, Language& v) {
    choice_of(kLanguage, n, v);
}
void from_stored(int n, SearchMode& v) {
    choice_of(kSearchMode, n, v);
}
void from_stored(int n, OutputTarget& v) {
    choice_of(kOutputTarget, n, v);
}
void from_stored(int n, OutputScope& v) {
    choice_of(kOutputScope, n, v);
}
void from_stored(int n, OutputFormat& v) {
    choice_of(kOutputFormat, n, v);
}
void from_stored(int n, OutputFilter& v) {
    choice_of(kOutputFilter, n, v);
}

}  // namespace orbisto::settings_detail
