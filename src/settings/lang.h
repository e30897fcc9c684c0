// User-visible texts come in German/English pairs next to their use; this
// picks one by the interface language.
#pragma once

namespace orbisto {

inline const char* tr(bool english, const char* de, const char* en) {
    return english ? en : de;
}

}  // namespace orbisto
