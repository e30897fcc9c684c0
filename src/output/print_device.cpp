#include "output/print_device.h"

#include "output/output_file.h"

namespace orbisto {

namespace {

bool is_control(char c) {
    return static_cast<unsigned char>(c) < 32 || c == 0x7F;
}

}  // namespace

bool Printer::begin(std::string_view document_name) {
    started_ = device_.begin(document_name);
    if (!started_) {
        ok_ = false;
        error_ = device_.error();
    }
    return started_;
}

void Printer::fail() {
    if (!ok_) return;
    ok_ = false;
    error_ = device_.error();
}

void Printer::line(std::string_view text) {
    if (!ok_ || !started_) return;
    if (break_pending_ && counter_ > 0) {
        if (!device_.new_page()) return fail();
        counter_ = 0;
    }
    break_pending_ = false;
    if (++counter_ > kPageLines) {
        if (!device_.new_page()) return fail();
        counter_ = 1;
    }
    if (!device_.line(margin_, counter_, text)) return fail();
    ++lines_;
}

void Printer::text(std::string_view text) {
    if (one_line_) {
        line(clean_text(text));
        return;
    }
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_control(text[i])) ++i;
        std::size_t end = i;
        while (end < text.size() && !is_control(text[end])) ++end;
        if (end > i) line(text.substr(i, end - i));
        i = end;
    }
}

void Printer::page_break() {
    break_pending_ = true;
}

bool Printer::end() {
    if (!started_) return false;
    started_ = false;
    if (!device_.end()) fail();
    return ok_;
}

}  // namespace orbisto
