// The additive-feedback generator with its published initial table.
#include "util/generic/bsd_random.h"

#include <cstring>

namespace {
constexpr int TypeCount = 5;
constexpr int Degrees[TypeCount] = {0, 7, 15, 31, 63};
constexpr int Separations[TypeCount] = {0, 3, 1, 3, 1};
constexpr size_t MinBytes[TypeCount] = {16, 64, 128, 256, 512};

// The type-3 table of 4.3BSD, as 32-bit values widened to signed 64-bit words.
constexpr int64_t InitialTable[31] = {
    -1726662223, 379960547,  1735697613,  1040273694, 1313901226,  1627687941, -179304937,
    -2073333483, 1780058412, -1989503057, -615974602, 344556628,   939512070,  -1249116260,
    1507946756,  -812545463, 154635395,   1388815473, -1926676823, 525320961,  -1009028674,
    968117788,   -123449607, 1284210865,  435012392,  -2017506339, -911064859, -370259173,
    1132637927,  1398500161, -205601318,
};

// Park and Miller's minimal standard generator, computed without overflow (Schrage).
int64_t Next(int64_t v) noexcept {
    const int64_t hi = v / 127773;
    const int64_t lo = v % 127773;
    int64_t word = 16807 * lo - 2836 * hi;
    if (word <= 0) {
        word += 2147483647;
    }
    return word;
}
}  // namespace

TBsdRandom::TBsdRandom() noexcept
    : State_(Own_ + 1),
      Type_(3),
      Degree_(Degrees[3]),
      Separation_(Separations[3]),
      Front_(Separations[3]),
      Rear_(0) {
    Own_[0] = Type_;
    std::memcpy(Own_ + 1, InitialTable, sizeof(InitialTable));
}

void TBsdRandom::Srandom(unsigned long seed) noexcept {
    State_[0] = static_cast<int64_t>(seed);
    if (Type_ == 0) {
        return;
    }
    for (int i = 1; i < Degree_; ++i) {
        State_[i] = Next(State_[i - 1]);
    }
    Front_ = Separation_;
    Rear_ = 0;
    for (int i = 0; i < 10 * Degree_; ++i) {
        Random();
    }
}

long TBsdRandom::Random() noexcept {
    if (Type_ == 0) {
        State_[0] = Next(State_[0]) & 0x7FFFFFFF;
        return static_cast<long>(State_[0]);
    }
    // The sum wraps round as the table's words always did; only bits 1 to 31 are used.
    const uint64_t sum =
        static_cast<uint64_t>(State_[Front_]) + static_cast<uint64_t>(State_[Rear_]);
    State_[Front_] = static_cast<int64_t>(sum);
    if (++Front_ >= Degree_) {
        Front_ = 0;
    }
    if (++Rear_ >= Degree_) {
        Rear_ = 0;
    }
    return static_cast<long>((sum >> 1) & 0x7FFFFFFF);
}

void TBsdRandom::SaveRear() noexcept {
    State_[-1] = Type_ == 0 ? Type_ : TypeCount * Rear_ + Type_;
}

char* TBsdRandom::InitState(unsigned long seed, char* state, size_t n) noexcept {
    if (n < MinBytes[0]) {
        return nullptr;
    }
    char* previous = reinterpret_cast<char*>(State_ - 1);
    SaveRear();
    int type = TypeCount - 1;
    while (n < MinBytes[type]) {
        --type;
    }
    Type_ = type;
    Degree_ = Degrees[type];
    Separation_ = Separations[type];
    State_ = reinterpret_cast<int64_t*>(state) + 1;
    Srandom(seed);
    SaveRear();
    return previous;
}

char* TBsdRandom::SetState(char* state) noexcept {
    int64_t* words = reinterpret_cast<int64_t*>(state);
    const int64_t word = words[0];
    if (word < 0) {
        return nullptr;
    }
    const int type = static_cast<int>(word % TypeCount);
    const int64_t rear = word / TypeCount;
    if (rear >= (type == 0 ? 1 : Degrees[type])) {
        return nullptr;
    }
    char* previous = reinterpret_cast<char*>(State_ - 1);
    SaveRear();
    Type_ = type;
    Degree_ = Degrees[type];
    Separation_ = Separations[type];
    State_ = words + 1;
    if (type != 0) {
        Rear_ = static_cast<int>(rear);
        Front_ = (Rear_ + Separation_) % Degree_;
    }
    return previous;
}
