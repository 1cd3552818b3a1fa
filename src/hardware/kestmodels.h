// The notebook models the program knows: which model family a model
// identifier belongs to, and the models of the second list (those whose 3G
// module counts as absent unless the detector finds a special module).
#pragma once

#include <string>

namespace kest {

// Model family code 0 to 18 of a model text (upper-cased first); the first
// fragment of the table found anywhere in the text decides; 0 when none is.
int ModelFamilyOf(const std::string& modelText);

// Whether the upper-cased text contains one of the nine names of the second list.
bool IsSecondListModelText(const std::string& modelText);

// The text in upper case (ASCII letters only: the firmware's texts are ASCII).
std::string UpperCased(std::string text);

}  // namespace kest
