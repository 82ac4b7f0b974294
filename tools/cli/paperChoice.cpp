#include "paperChoice.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "tavix/tables.h"

namespace tavix::host {
namespace {

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// Lower case, one blank between words.
std::string normalised(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!out.empty() && out.back() != ' ') out += ' ';
        } else {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// Where the size begins: the number before the last "mm x ".
size_t sizeStart(const std::string& label) {
    size_t mm = label.rfind("mm x ");
    if (mm == std::string::npos) return label.size();
    size_t start = mm;
    while (start > 0 && (std::isdigit(static_cast<unsigned char>(label[start - 1])) || label[start - 1] == '.'))
        --start;
    return start;
}

std::string nameOf(const std::string& label) { return trimmed(label.substr(0, sizeStart(label))); }

}  // namespace

std::string paperDescription(const std::string& label) {
    std::string size = trimmed(label.substr(sizeStart(label)));
    return size.empty() ? nameOf(label) : nameOf(label) + " (" + size + ")";
}

std::string paperList(const std::vector<std::string>& labels, const std::vector<int>& rows) {
    std::string list;
    for (int row : rows) {
        std::string number = std::to_string(row + 1);
        list += "\n  " + std::string(number.size() < 2 ? 1 : 0, ' ') + number + "  " +
                trimmed(labels[static_cast<size_t>(row)]);
    }
    return list;
}

PaperChoice choosePaper(const std::string& wanted, const std::vector<std::string>& labels) {
    PaperChoice choice;
    const int count = static_cast<int>(labels.size());
    char* end = nullptr;
    long number = std::strtol(wanted.c_str(), &end, 10);
    if (!wanted.empty() && *end == '\0') {
        if (number >= 1 && number <= count) choice.row = static_cast<int>(number - 1);
    } else {
        std::string w = normalised(wanted);
        std::vector<int> named, started;
        for (int i = 0; i < count && !w.empty(); ++i) {
            if (normalised(nameOf(labels[static_cast<size_t>(i)])) == w) named.push_back(i);
            if (normalised(labels[static_cast<size_t>(i)]).rfind(w, 0) == 0) started.push_back(i);
        }
        // A whole name wins over longer names that start with it (A1, not A10).
        const std::vector<int>& fits = named.empty() ? started : named;
        if (fits.size() == 1) choice.row = fits[0];
        if (fits.size() > 1) {
            choice.error = "--paper " + wanted + ": it fits several papers:" + paperList(labels, fits) +
                           "\ngive more of the label or the row number";
            return choice;
        }
    }
    if (choice.row < 0) {
        std::vector<int> all;
        for (int i = 0; i < count; ++i) all.push_back(i);
        choice.error = "--paper " + wanted + ": this model has no such paper; its papers are:" + paperList(labels, all);
    }
    return choice;
}

std::vector<std::string> modelPaperLabels(int model) {
    const PaperSize* list = shippedPaperList(modelEntry(model));
    std::vector<std::string> labels;
    for (int i = 0; i < PAPER_ROWS && list[i].metricLabel[0] != '\0'; ++i)
        labels.emplace_back(list[i].metricLabel, strnlen(list[i].metricLabel, PAPER_LABEL_SIZE));
    return labels;
}

}  // namespace tavix::host
