// A print device that keeps what it was asked to print: each page a list of
// its lines with the row and x they were drawn at. It can be told to fail at
// a given line or to refuse to start.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output/print_device.h"

namespace orbisto::test {

struct PrintedLine {
    int x = 0;
    int row = 0;
    std::string text;
};

class RecordingPrinter final : public PrintDevice {
  public:
    bool begin(std::string_view document_name) override {
        document = document_name;
        if (refuse_begin) return false;
        pages.emplace_back();
        return true;
    }
    bool line(int x, int row, std::string_view text) override {
        if (fail_at_line >= 0 && printed == fail_at_line) return false;
        ++printed;
        pages.back().push_back({x, row, std::string(text)});
        return true;
    }
    bool new_page() override {
        pages.emplace_back();
        return true;
    }
    bool end() override {
        ended = true;
        return true;
    }
    std::string error() const override { return "paper jam"; }

    // Every line of every page, in order.
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& p : pages) {
            for (const auto& l : p) out.push_back(l.text);
        }
        return out;
    }

    std::string document;
    std::vector<std::vector<PrintedLine>> pages;
    bool refuse_begin = false;
    bool ended = false;
    int fail_at_line = -1;
    int printed = 0;
};

}  // namespace orbisto::test
