// Writes the source of BankCheckpoints::table(): the states of the bank key's
// keystream, run by MRC4, every BankCheckpoints::Spacing bytes.
// Usage: make-bank-checkpoints OUTPUT.cpp

#include "bank/BankCheckpoints.h"
#include "bank/BankFile.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

QByteArray stateSource(const Rc4State &state)
{
    QByteArray source = "    {{{";
    for (size_t n = 0; n < state.box.size(); ++n) {
        if (n > 0)
            source += n % 32 == 0 ? ",\n       " : ",";
        source += QByteArray::number(state.box[n]);
    }
    source += "}}, " + QByteArray::number(state.i) + ", " + QByteArray::number(state.j) + "},\n";
    return source;
}

QByteArray tableSource(const std::vector<Rc4State> &states)
{
    QByteArray source = "// Made by make-bank-checkpoints at build time from MRC4 itself.\n"
                        "#include \"bank/BankCheckpoints.h\"\n\n"
                        "namespace {\n\n"
                        "const Rc4State states[BankCheckpoints::Count] = {\n";
    for (const Rc4State &state : states)
        source += stateSource(state);
    source += "};\n\n"
              "} // namespace\n\n"
              "const KeystreamCheckpoints &BankCheckpoints::table()\n"
              "{\n"
              "    static const KeystreamCheckpoints table(Spacing, states);\n"
              "    return table;\n"
              "}\n";
    return source;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-bank-checkpoints OUTPUT.cpp\n");
        return 2;
    }
    const auto states = KeystreamCheckpoints::compute(BankFile::BankKey, BankCheckpoints::Spacing, BankCheckpoints::Count);
    QSaveFile output(QFile::decodeName(argv[1]));
    if (!output.open(QIODevice::WriteOnly) || output.write(tableSource(states)) < 0 || !output.commit()) {
        std::fprintf(stderr, "make-bank-checkpoints: cannot write %s: %s\n", argv[1], qPrintable(output.errorString()));
        return 1;
    }
    return 0;
}
