#include "app/gui/welcome_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/gui/prompter.h"
#include "app/version.h"

namespace vesko::gui {

namespace {

QLabel* paragraph(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

}  // namespace

CWelcomeDlg::CWelcomeDlg(const QUrl& manual, Prompter& prompter, QWidget* parent)
    : QDialog(parent), manual_(manual), prompter_(prompter) {
  setObjectName(QStringLiteral("welcomeDialog"));
  setWindowTitle(QStringLiteral("Welcome!"));

  auto* layout = new QVBoxLayout(this);
  QLabel* hello = paragraph(this, QStringLiteral("Hello, and welcome to the world of Vesko!"));
  QFont bold = hello->font();
  bold.setBold(true);
  hello->setFont(bold);
  layout->addWidget(hello);
  layout->addWidget(paragraph(this, QStringLiteral("Vesko 4.1 is the result of years of hard work, so I hope you enjoy "
                                                   "talking to him as much as I enjoyed creating him!  ")));
  layout->addWidget(paragraph(this, QStringLiteral("Before you get too into chatting, it is strongly reccommended that "
                                                   "you read the manual, as it includes a lot of information on "
                                                   "getting the most out of your experience with Vesko.  ")));
  layout->addWidget(paragraph(this, QStringLiteral("Thank you for giving Vesko a home on your desktop. Talk to him "
                                                   "often: everything you say teaches him a little more.\n"
                                                   "    - The Vesko developers")));

  auto* readManual = new QPushButton(QStringLiteral("Read Manual"), this);
  readManual->setObjectName(QStringLiteral("readManualButton"));
  readManual->setAutoDefault(false);
  auto* startChatting = new QPushButton(QStringLiteral("Start Chatting"), this);
  startChatting->setObjectName(QStringLiteral("startChattingButton"));
  startChatting->setDefault(true);
  // The manual opens beside the dialog, which stays until the user starts chatting.
  connect(readManual, &QPushButton::clicked, this, [this] { openDocument(prompter_, this, manual_); });
  connect(startChatting, &QPushButton::clicked, this, &CWelcomeDlg::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(readManual);
  buttons->addWidget(startChatting);
  layout->addLayout(buttons);
  setMinimumWidth(420);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QStringLiteral("About Vesko"));

  auto* icon = new QLabel(this);
  icon->setPixmap(QApplication::windowIcon().isNull()
                      ? style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32)
                      : QApplication::windowIcon().pixmap(32, 32));
  auto* text = new QVBoxLayout;
  text->addWidget(paragraph(this, QString::fromLatin1(kProgramTitle)));
  text->addWidget(paragraph(this, QStringLiteral("Written by the Vesko developers")));
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(text, 1);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &CAboutDlg::accept);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(bottom);
}

}  // namespace vesko::gui
