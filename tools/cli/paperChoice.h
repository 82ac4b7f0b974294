// Papers as the user names them: a row of the model's list ("5"), a label
// in any case ("a1", "max"), or the start of one that fits no other paper
// ("long plot 6553"). The labels are the device dialog's, "A1  841.0mm x
// 594.0mm": a name and the size.
#pragma once

#include <string>
#include <vector>

namespace tavix::host {

struct PaperChoice {
    int row = -1;        // 0-based row chosen, or -1
    std::string error;   // why none was chosen, with the rows that fit or the whole list
};

PaperChoice choosePaper(const std::string& wanted, const std::vector<std::string>& labels);

// "A1 (841.0mm x 594.0mm)" of a label "A1          841.0mm x 594.0mm".
std::string paperDescription(const std::string& label);

// "\n  14  A1          841.0mm x 594.0mm" for each row given (1-based numbers).
std::string paperList(const std::vector<std::string>& labels, const std::vector<int>& rows);

// The paper labels of a model (0..4) as the device dialog lists them.
std::vector<std::string> modelPaperLabels(int model);

}  // namespace tavix::host
