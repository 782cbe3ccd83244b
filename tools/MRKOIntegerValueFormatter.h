#pragma once

#include <QValidator>

/// Lets only a whole number be typed: an optional sign and digits, or nothing. A refused keystroke is dropped.
class MRKOIntegerValueFormatter final : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;

    [[nodiscard]] static bool isPartialStringValid(const QString &text);
    State validate(QString &input, int &pos) const override;
};
