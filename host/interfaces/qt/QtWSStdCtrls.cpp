// The Qt standard controls: QLabel, QLineEdit, QPlainTextEdit, QPushButton, QCheckBox and a
// framed panel with its caption behind the controls on it.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "zk/host/forms/StdCtrls.h"
#include "zk/host/interfaces/qt/QtPeers.h"

namespace zk::forms {

namespace {

// A label shows '&' as the underline of the next letter; "&&" is one '&'.
QString LabelText(const std::string& Caption) {
    std::string out;
    for (size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size()) ++i;
        out += Caption[i];
    }
    return QStr(out);
}

Qt::Alignment Horizontal(TAlignment Alignment) {
    switch (Alignment) {
        case taRightJustify:
            return Qt::AlignRight;
        case taCenter:
            return Qt::AlignHCenter;
        default:
            return Qt::AlignLeft;
    }
}

class TLabelPeer : public TQtControlPeer {
  public:
    TLabelPeer(TQtUi& Ui, TLabel& Label) : TQtControlPeer(Ui, Label), FLabel(Label) {
        Attach(FBox = new QLabel);
    }

  protected:
    void Update() override {
        FBox->setText(LabelText(FLabel.Caption()));
        FBox->setAlignment(Horizontal(FLabel.Alignment()) | Qt::AlignTop);
        // A label sizes itself to its caption: the stored width came from another font.
        int width = std::max(FLabel.Width(), FBox->sizeHint().width());
        int left = FLabel.Alignment() == taRightJustify ? FLabel.Left() + FLabel.Width() - width
                                                        : FLabel.Left();
        FBox->setGeometry(std::max(left, 0), FLabel.Top(), width, FLabel.Height());
    }

  private:
    TLabel& FLabel;
    QLabel* FBox;
};

class TEditPeer : public TQtControlPeer {
  public:
    TEditPeer(TQtUi& Ui, TCustomEdit& Edit) : TQtControlPeer(Ui, Edit), FEdit(Edit) {
        FLine = new QLineEdit;
        // Only a person's typing: setText does not report here.
        QObject::connect(FLine, &QLineEdit::textEdited, [this](const QString& Text) {
            FUi.Dispatch([&] { FEdit.SetText(StdStr(Text)); });
        });
        Attach(FLine);
    }

  protected:
    void Update() override {
        if (FLine->text() != QStr(FEdit.Text())) FLine->setText(QStr(FEdit.Text()));
        FLine->setReadOnly(FEdit.ReadOnly());
    }

  private:
    TCustomEdit& FEdit;
    QLineEdit* FLine;
};

class TMemoPeer : public TQtControlPeer {
  public:
    TMemoPeer(TQtUi& Ui, TMemo& Memo) : TQtControlPeer(Ui, Memo), FMemo(Memo) {
        FText = new QPlainTextEdit;
        QObject::connect(FText, &QPlainTextEdit::textChanged, [this] {
            if (FUpdating) return;
            FUi.Dispatch([&] { FMemo.SetText(StdStr(FText->toPlainText())); });
        });
        Attach(FText);
    }

  protected:
    void Update() override {
        QString text;
        for (size_t i = 0; i < FMemo.Lines().size(); ++i)
            text += (i ? "\n" : "") + QStr(FMemo.Lines()[i]);
        if (FText->toPlainText() != text) FText->setPlainText(text);
        FText->setReadOnly(FMemo.ReadOnly());
        TScrollStyle bars = FMemo.ScrollBars();
        bool horizontal = bars == ssHorizontal || bars == ssBoth;
        bool vertical = bars == ssVertical || bars == ssBoth;
        FText->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                       : Qt::ScrollBarAlwaysOff);
        FText->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
        // Without a horizontal bar long lines wrap.
        FText->setLineWrapMode(horizontal ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    }

  private:
    TMemo& FMemo;
    QPlainTextEdit* FText;
};

class TButtonPeer : public TQtControlPeer {
  public:
    TButtonPeer(TQtUi& Ui, TButton& Button) : TQtControlPeer(Ui, Button) {
        FButton = new QPushButton;
        FButton->setAutoDefault(false);
        QObject::connect(FButton, &QPushButton::clicked,
                         [this] { FUi.Dispatch([&] { FControl.Click(); }); });
        Attach(FButton);
    }

  protected:
    void Update() override { FButton->setText(QStr(FControl.Caption())); }

  private:
    QPushButton* FButton;
};

class TCheckBoxPeer : public TQtControlPeer {
  public:
    TCheckBoxPeer(TQtUi& Ui, TCheckBox& Box) : TQtControlPeer(Ui, Box), FBox(Box) {
        FCheck = new QCheckBox;
        // A person's click: the new state goes through SetChecked, which fires OnClick.
        QObject::connect(FCheck, &QCheckBox::clicked,
                         [this](bool Checked) { FUi.Dispatch([&] { FBox.SetChecked(Checked); }); });
        Attach(FCheck);
    }

  protected:
    void Update() override {
        FCheck->setText(QStr(FBox.Caption()));
        QSignalBlocker block(FCheck);
        FCheck->setChecked(FBox.Checked());
    }

  private:
    TCheckBox& FBox;
    QCheckBox* FCheck;
};

class TPanelPeer : public TQtControlPeer {
  public:
    TPanelPeer(TQtUi& Ui, TPanel& Panel) : TQtControlPeer(Ui, Panel), FPanel(Panel) {
        FFrame = new QFrame;
        // The caption lies behind the controls placed on the panel.
        FCaption = new QLabel(FFrame);
        FCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
        FCaption->lower();
        Attach(FFrame);
    }

  protected:
    void Update() override {
        QFrame::Shadow shadow = FPanel.BevelOuter() == bvLowered ? QFrame::Sunken : QFrame::Raised;
        FFrame->setFrameStyle(FPanel.BevelOuter() == bvNone ? QFrame::NoFrame
                                                            : (QFrame::Panel | shadow));
        FFrame->setLineWidth(FPanel.BevelWidth());
        FCaption->setText(LabelText(FPanel.Caption()));
        FCaption->setAlignment(Horizontal(FPanel.Alignment()) | Qt::AlignVCenter);
        FCaption->setGeometry(0, 0, FPanel.Width(), FPanel.Height());
    }

  private:
    TPanel& FPanel;
    QFrame* FFrame;
    QLabel* FCaption;
};

}  // namespace

TWSPeerPtr TQtWSStdCtrls::CreateLabel(TLabel& Label) {
    return std::make_unique<TLabelPeer>(FUi, Label);
}

TWSPeerPtr TQtWSStdCtrls::CreateEdit(TCustomEdit& Edit) {
    return std::make_unique<TEditPeer>(FUi, Edit);
}

TWSPeerPtr TQtWSStdCtrls::CreateMemo(TMemo& Memo) { return std::make_unique<TMemoPeer>(FUi, Memo); }

TWSPeerPtr TQtWSStdCtrls::CreateButton(TButton& Button) {
    return std::make_unique<TButtonPeer>(FUi, Button);
}

TWSPeerPtr TQtWSStdCtrls::CreateCheckBox(TCheckBox& CheckBox) {
    return std::make_unique<TCheckBoxPeer>(FUi, CheckBox);
}

TWSPeerPtr TQtWSStdCtrls::CreatePanel(TPanel& Panel) {
    return std::make_unique<TPanelPeer>(FUi, Panel);
}

}  // namespace zk::forms
