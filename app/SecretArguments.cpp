#include "app/SecretArguments.h"

#include <QtGlobal>
#include <cstring>

namespace {

void blank(char* value)
{
    std::memset(value, 'x', std::strlen(value));
}

} // namespace

void hideSecretArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"--pdf-password", "--password"}) {
            const std::size_t length = std::strlen(option);
            if (std::strcmp(argv[i], option) == 0 && i + 1 < argc)
                blank(argv[i + 1]);
            else if (std::strncmp(argv[i], option, length) == 0 && argv[i][length] == '=')
                blank(argv[i] + length + 1);
        }
    }
    qunsetenv("LOHNAUSWEIS_PDF_PASSWORD");
    qunsetenv("LOHNAUSWEIS_PASSWORD");
}
