#include "app/settings/EditNumber_.h"

#include "app/base/Texte_.h"
#include "app/base/Tools_.h"

char FilterNumberKey(const std::string& Text, std::size_t Caret, char Key, bool AllowMinus) {
    if (Key == kKeyBackspace || Key == kKeyEnter || (Key >= '0' && Key <= '9'))
        return Key;
    if (Key == ',' || Key == '.')
        return Text.find('.') == std::string::npos ? '.' : 0;
    if (Key == '-' && AllowMinus)
        return Caret == 0 && Text.find('-') == std::string::npos ? '-' : 0;
    return 0;
}

bool ParseEditNumber(const std::string& Text, double& Out) {
    std::string local = Text;
    for (char& c : local)
        if (c == '.' || c == ',')
            c = DecimalSeparator();
    try {
        Out = StrToFloat(local);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

double EditNumber(const std::string& Text) {
    double x = 0;
    if (!ParseEditNumber(Text, x))
        throw EConvertError(Format(sInvalidFloat, Text.c_str()));
    return x;
}

std::string EditText(int Decimals, double X) {
    // Format follows the C locale, which writes ".".
    return Format("%.*f", Decimals, X);
}
