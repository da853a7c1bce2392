#include "lemmer/dictionary/hypothesis_memo.h"

#include <memory>

namespace NByk {

std::shared_ptr<THypothesisMemo> NewHypothesisMemo() {
    return std::make_shared<THypothesisMemo>();
}

}  // namespace NByk
