#pragma once

#include <QFrame>
#include <array>
#include <optional>

class QLineEdit;

namespace kvx {

// An IPv4 address typed into four octet fields with "." between them. Each field takes 0 to 255; a digit
// that would make more is refused. Three digits or "." move on to the next field, Backspace at the start
// of a field goes back to the previous one, and Left and Right cross between fields at their ends.
class IpAddressEdit : public QFrame {
    Q_OBJECT
public:
    static constexpr int kOctetCount = 4;
    // An empty field has no value.
    using Octets = std::array<std::optional<int>, kOctetCount>;

    explicit IpAddressEdit(QWidget* parent = nullptr);

    // How many of the four fields hold a value.
    int filledCount() const;
    Octets octets() const;
    // A value outside 0..255 leaves its field empty and makes the result false.
    bool setOctets(const Octets& octets);
    void clear();
    // "%d.%d.%d.%d" once every field is filled; empty before.
    QString text() const;

Q_SIGNALS:
    // Any field's text changed, by typing or by the calls above.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int fieldIndex(const QObject* field) const;
    void enterField(int index, int caret);
    void advanceAfterThreeDigits(int index);

    std::array<QLineEdit*, kOctetCount> m_fields{};
};

} // namespace kvx
