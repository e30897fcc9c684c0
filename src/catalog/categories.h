// PLACEHOLDER: replaced by the category module.
#pragma once

namespace orbisto {

struct CategoryTable {};

}  // namespace orbisto
