#include "screens/dialogs/frmAllSet.h"

#include "widgets/MessageService.h"
#include "core/data/CellText.h"
#include "core/data/FieldValue.h"
#include "widgets/DialogSetup.h"
#include "screens/dialogs/ReceiptListProperties.h"
#include "widgets/DateBoxFocus.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

// The spinner rests in the middle; its arrows move it one step either way.
constexpr int SpinUp = 1;
constexpr int SpinRest = 2;
constexpr int SpinDown = 3;

// Digits typed without separators: YYMMDD in the current century, or YYYYMMDD.
QString ExpandDigits(const QString &text)
{
    if (text.contains(u'/') || (text.size() != 6 && text.size() != 8))
        return text;
    const QString digits = text.size() == 6 ? QString::number(QDate::currentDate().year()).left(2) + text : text;
    return digits.left(4) % u'/' % digits.mid(4, 2) % u'/' % digits.mid(6, 2);
}

QString Today()
{
    return FieldValue::FormatDate(QDate::currentDate());
}

} // namespace

frmAllSet::frmAllSet(QWidget *owner, ReceiptListProperties &list)
    : QDialog(owner)
    , m_list(list)
{
    DialogSetup::Prepare(this, u"frmAllSet"_s, u"全額指定日収納"_s, 4320, 1770);
    // Created in tab order: method, date, mail choice, buttons.
    cboSiharai = ScreenSetup::Place<QComboBox>(this, u"cboSiharai"_s, {600, 240, 1695, 315});

    txtDate = ScreenSetup::Place<QLineEdit>(this, u"txtDate"_s, {2400, 240, 1095, 315});
    // Closing the dialog moves the focus too; only a visible dialog checks.
    (new DateBoxFocus(this, [this](QLineEdit *) { return !isVisible() || ValidateEditedDate(); }))->watch(txtDate);
    connect(txtDate, &QLineEdit::textEdited, this, [this] { m_dateEdited = true; });

    vsrlDate = ScreenSetup::Place<QScrollBar>(this, u"vsrlDate"_s, {3480, 240, 255, 300}, Qt::Vertical);
    vsrlDate->setRange(SpinUp, SpinDown);
    vsrlDate->setPageStep(1); // a click beside the arrows is one step too
    vsrlDate->setValue(SpinRest);
    // The date box keeps the focus while the arrows are clicked.
    vsrlDate->setFocusPolicy(Qt::NoFocus);
    connect(vsrlDate, &QScrollBar::valueChanged, this, &frmAllSet::vsrlDate_Change);

    ScreenSetup::Place<QLabel>(this, u"Label1"_s, {240, 750, 1575, 255}, u"ﾒｰﾙ送信準備(入金)"_s);

    const char16_t *optionCaptions[2] = {u"ﾁｪｯｸ", u"未ﾁｪｯｸ"};
    const ScreenSetup::Design optionDesign[2] = {{1920, 720, 855, 255}, {2880, 720, 975, 255}};
    for (int i = 0; i < 2; ++i) {
        optJyunbi[i] = ScreenSetup::Place<QRadioButton>(this, u"optJyunbi"_s, optionDesign[i],
                                                        QString::fromUtf16(optionCaptions[i]));
        ScreenSetup::NameControl(optJyunbi[i], u"optJyunbi"_s, i);
    }
    optJyunbi[1]->setChecked(true);

    auto *cmdEnter = ScreenSetup::Place<QPushButton>(this, u"cmdEnter"_s, {840, 1200, 975, 375}, u"登録"_s);
    cmdEnter->setDefault(true);
    connect(cmdEnter, &QPushButton::clicked, this, &frmAllSet::cmdEnter_Click);

    DialogSetup::CancelButton(this, {2400, 1200, 975, 375});

    // "全て" and today's date to start with.
    DialogSetup::FillMethodCombo(cboSiharai, m_list.pstrSiharaiString);
    txtDate->setText(Today());
    cboSiharai->setFocus();
}

bool frmAllSet::ValidateEditedDate()
{
    if (!m_dateEdited)
        return true;
    m_dateEdited = false;
    return txtDate_Validate();
}

bool frmAllSet::txtDate_Validate()
{
    const QString trimmed = txtDate->text().trimmed();
    txtDate->setText(trimmed);
    if (trimmed.isEmpty())
        return true;
    // Only a date the list's payment-date cell can hold: any other would
    // leave the filled rows with an amount and no date.
    if (const int julian = CellText::parseDate(ExpandDigits(trimmed))) {
        txtDate->setText(CellText::dateText(julian));
        return true;
    }
    MessageService::Information(this, u"日付を入力して下さい。"_s, windowTitle());
    txtDate->clear();
    FocusDateBox();
    return false;
}

void frmAllSet::vsrlDate_Change(int value)
{
    // Clicking an arrow ends the typing in the box, as leaving it would.
    if (value == SpinRest || !ValidateEditedDate())
        return;
    const auto date = FieldValue::ParseDate(txtDate->text().trimmed());
    if (!date)
        return;
    txtDate->setText(FieldValue::FormatDate(date->addDays(value == SpinUp ? 1 : -1)));
    vsrlDate->setValue(SpinRest);
    FocusDateBox();
}

void frmAllSet::cmdEnter_Click()
{
    // Enter or a quick click can come before the deferred check of the box.
    if (!ValidateEditedDate())
        return;
    if (CellText::parseDate(txtDate->text()) == 0) {
        MessageService::Information(this, u"日付が正しくありません。"_s, windowTitle());
        txtDate->setText(Today());
        FocusDateBox();
        return;
    }

    m_list.pbytSetFlg = 1;
    m_list.pstrSiharai = cboSiharai->currentText();
    m_list.pstrDate = txtDate->text();
    if (cboSiharai->currentIndex() == 0)
        m_list.pbytAllSet = 1;
    m_list.pbytMailSet = optJyunbi[0]->isChecked() ? 1 : 0;
    accept();
}

void frmAllSet::FocusDateBox()
{
    txtDate->setFocus(Qt::OtherFocusReason);
    txtDate->selectAll();
}
