// PLACEHOLDER: replaced by the Catalog model.
#pragma once

namespace orbisto {

class Catalog {};

}  // namespace orbisto
