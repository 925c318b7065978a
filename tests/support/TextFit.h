#pragma once

#include <QWidget>

#include <string>
#include <vector>

namespace vs::test {

// The texts under root that do not fit: a label, button or check box narrower than its
// text needs, a list entry narrower than its text or reaching past the list's visible area,
// or any of them lying partly outside a parent. Root should be shown and laid out.
std::vector<std::string> CutTexts(QWidget* root);

}  // namespace vs::test
