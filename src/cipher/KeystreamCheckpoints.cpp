#include "cipher/KeystreamCheckpoints.h"

#include "cipher/MRC4.h"

#include <algorithm>

namespace {

Rc4State currentState()
{
    const MRC4::CipherState &cipher = MRC4::State();
    Rc4State state;
    std::copy(cipher.SBox.begin(), cipher.SBox.end(), state.box.begin());
    state.i = std::uint8_t(cipher.i);
    state.j = std::uint8_t(cipher.j);
    return state;
}

} // namespace

std::vector<Rc4State> KeystreamCheckpoints::compute(const QString &key, qint64 spacing, int count)
{
    std::vector<Rc4State> states;
    states.reserve(size_t(count));
    std::vector<std::uint8_t> stretch(static_cast<size_t>(spacing));
    MRC4::CryptBytes({}, key);
    for (int index = 0; index < count; ++index) {
        if (index > 0)
            MRC4::CryptBytes(stretch, QString());
        states.push_back(currentState());
    }
    return states;
}
