#include "data/Arguments.h"

#include <QStringDecoder>

namespace realm {

TypedArguments typedArguments(int argc, const char *const *argv)
{
    TypedArguments typed;
    for (int i = 0; i < argc; ++i) {
        QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        typed.arguments << decoder.decode(QByteArrayView(argv[i]));
        if (decoder.hasError() && !typed.undecodable)
            typed.undecodable = i;
    }
    return typed;
}

} // namespace realm
