#include "base/CRandom.h"

namespace wc {

CRandom& processRandom() {
  static CRandom generator;
  return generator;
}

}  // namespace wc
