#include "ui/rules_list.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "ui/qt_text.h"
#include "ui/rule_editor.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

constexpr int kRulesRole = Qt::UserRole + 1;  // QStringList of the four texts
constexpr int kMaxPosition = 255;
constexpr int kDesignWidth = 640;
constexpr int kDesignHeight = 320;

// One line of coloured words: " If the <field> <comparison> <criteria> then <action>".
class TRuleRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    painter->save();
    const bool selected = opt.state & QStyle::State_Selected;
    painter->fillRect(opt.rect, selected ? QColor(255, 255, 0) : opt.palette.base().color());
    QStyleOptionViewItem check(opt);
    check.rect = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);
    check.state = check.state & ~QStyle::State_HasFocus;
    check.state |= opt.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, widget);

    QStringList texts = index.data(kRulesRole).toStringList();
    while (texts.size() < 4) texts << QString();
    struct Piece {
      QString text;
      QColor colour;
      bool bold;
      bool underline;
    };
    const Piece pieces[] = {
        {" If the", Qt::black, false, false},
        {" ", Qt::black, false, false},
        {texts[0], QColor(0, 128, 0), false, true},
        {" " + texts[1], QColor(255, 0, 0), false, false},
        {" ", Qt::black, false, false},
        {texts[2], QColor(255, 0, 255), true, false},
        {" then", Qt::black, false, false},
        {" ", Qt::black, false, false},
        {texts[3], QColor(0, 0, 255), true, false},
    };
    int x = check.rect.right() + 4;
    const QRect text_rect = opt.rect.adjusted(0, 0, -2, 0);
    for (const Piece& p : pieces) {
      QFont f = opt.font;
      f.setBold(p.bold);
      f.setUnderline(p.underline);
      painter->setFont(f);
      painter->setPen(p.colour);
      QFontMetrics fm(f);
      QRect r(x, text_rect.top(), text_rect.right() - x, text_rect.height());
      if (r.width() <= 0) break;
      painter->drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, p.text);
      x += fm.horizontalAdvance(p.text);
    }
    if (opt.state & QStyle::State_HasFocus) {
      QStyleOptionFocusRect focus;
      focus.QStyleOption::operator=(opt);
      focus.rect = opt.rect.adjusted(1, 1, -1, -1);
      focus.backgroundColor = selected ? QColor(255, 255, 0) : opt.palette.base().color();
      style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
  }

  // Wide enough for the bold criteria and action, so the list scrolls to
  // the row's end instead of cutting it off.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    QFont bold = option.font;
    bold.setBold(true);
    QStringList texts = index.data(kRulesRole).toStringList();
    while (texts.size() < 4) texts << QString();
    const QFontMetrics plain(option.font), strong(bold);
    const int width = plain.horizontalAdvance(" If the  " + texts[0] + " " + texts[1] + "  then ") +
                      strong.horizontalAdvance(texts[2] + texts[3]) + 40;
    return QSize(std::max(s.width(), width), std::max(s.height(), strong.height() + 6));
  }
};

}  // namespace

TfrmMessageRulesList::TfrmMessageRulesList(QWidget* parent) : QDialog(parent) {
  setObjectName("TfrmMessageRulesList");
  setWindowTitle(" Message rules editor");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* title = new QLabel("Rules management window", this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  layout->addWidget(title);
  layout->addWidget(new QLabel("Use this window to manage incoming and outgoing rules", this));

  auto* middle = new QHBoxLayout;
  lstRules = new QListWidget(this);
  lstRules->setObjectName("lstRules");
  lstRules->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstRules->setItemDelegate(new TRuleRowDelegate(lstRules));
  middle->addWidget(lstRules, 1);
  auto* arrows = new QVBoxLayout;
  btnMoveUp = new QPushButton(this);
  btnMoveUp->setObjectName("btnMoveUp");
  btnMoveUp->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
  btnMoveUp->setToolTip("Move up");
  btnMoveDown = new QPushButton(this);
  btnMoveDown->setObjectName("btnMoveDown");
  btnMoveDown->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
  btnMoveDown->setToolTip("Move down");
  arrows->addStretch(1);
  arrows->addWidget(btnMoveUp);
  arrows->addWidget(btnMoveDown);
  arrows->addStretch(1);
  middle->addLayout(arrows);
  layout->addLayout(middle, 1);

  auto* buttons = new QHBoxLayout;
  btnNew = new QPushButton("&New", this);
  btnNew->setObjectName("btnNew");
  btnProperties = new QPushButton("&Properties", this);
  btnProperties->setObjectName("btnProperties");
  btnDelete = new QPushButton("&Delete", this);
  btnDelete->setObjectName("btnDelete");
  btnClose = new QPushButton("&Close", this);
  btnClose->setObjectName("btnClose");
  buttons->addWidget(btnNew);
  buttons->addWidget(btnProperties);
  buttons->addWidget(btnDelete);
  buttons->addStretch(1);
  buttons->addWidget(btnClose);
  layout->addLayout(buttons);

  connect(btnNew, &QPushButton::clicked, this, &TfrmMessageRulesList::btnNewClick);
  connect(btnProperties, &QPushButton::clicked, this, &TfrmMessageRulesList::btnPropertiesClick);
  connect(btnDelete, &QPushButton::clicked, this, &TfrmMessageRulesList::btnDeleteClick);
  connect(btnClose, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
  connect(btnMoveUp, &QPushButton::clicked, this, [this] { MoveFocused(-1); });
  connect(btnMoveDown, &QPushButton::clicked, this, [this] { MoveFocused(1); });
  connect(lstRules, &QListWidget::itemDoubleClicked, this, [this] { btnPropertiesClick(); });
  lstRules->installEventFilter(this);
  connect(lstRules, &QListWidget::itemChanged, this, &TfrmMessageRulesList::lstRulesItemChanged);

  int w = kDesignWidth, h = kDesignHeight;
  if (OptionsIni) {
    w = OptionsIni->ReadInteger("RulesListWindow", "Width", w);
    h = OptionsIni->ReadInteger("RulesListWindow", "Height", h);
  }
  resize(std::max(w, 300), std::max(h, 200));
}

void TfrmMessageRulesList::LoadRulesList(const std::string& path, bool incoming) {
  path_ = path;
  incoming_ = incoming;
  rows_.clear();
  for (const cMessageRule& rule : LoadRules(path)) rows_.push_back({rule, DescribeRule(rule)});
  FillList(rows_.empty() ? -1 : 0);
}

void TfrmMessageRulesList::SetRowItem(int row) {
  QListWidgetItem* item = lstRules->item(row);
  const cRuleNodeInfo& info = rows_[row];
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(info.rule.Active ? Qt::Checked : Qt::Unchecked);
  item->setData(kRulesRole, QStringList{Q(info.texts.Field), Q(info.texts.Comparison), Q(info.texts.Criteria),
                                        Q(info.texts.Action)});
  item->setText(Q(" If the " + info.texts.Field + " " + info.texts.Comparison + " " + info.texts.Criteria +
                  " then " + info.texts.Action));
}

void TfrmMessageRulesList::FillList(int focus_row) {
  filling_ = true;
  lstRules->clear();
  for (size_t i = 0; i < rows_.size(); ++i) {
    lstRules->addItem(QString());
    SetRowItem(static_cast<int>(i));
  }
  filling_ = false;
  if (focus_row >= 0 && focus_row < lstRules->count()) {
    lstRules->setCurrentRow(focus_row, QItemSelectionModel::ClearAndSelect);
    lstRules->setFocus();
  }
}

void TfrmMessageRulesList::lstRulesItemChanged(QListWidgetItem* item) {
  if (filling_) return;
  int row = lstRules->row(item);
  if (row >= 0 && row < static_cast<int>(rows_.size())) rows_[row].rule.Active = item->checkState() == Qt::Checked;
}

void TfrmMessageRulesList::btnNewClick() {
  cMessageRule rule;
  if (!EditRule(incoming_, rule, false, {}, this)) return;
  rule.Active = true;
  rows_.push_back({rule, DescribeRule(rule)});
  FillList(static_cast<int>(rows_.size()) - 1);
}

void TfrmMessageRulesList::btnPropertiesClick() {
  int row = lstRules->currentRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  cMessageRule rule = rows_[row].rule;
  if (!EditRule(incoming_, rule, true, {}, this)) return;
  rule.Active = rows_[row].rule.Active;
  rows_[row] = {rule, DescribeRule(rule)};
  filling_ = true;
  SetRowItem(row);
  filling_ = false;
  lstRules->viewport()->update();
}

void TfrmMessageRulesList::btnDeleteClick() {
  if (lstRules->currentRow() < 0) return;
  std::vector<cRuleNodeInfo> kept;
  int first_removed = -1;
  for (int i = 0; i < lstRules->count(); ++i) {
    if (lstRules->item(i)->isSelected()) {
      if (first_removed < 0) first_removed = i;
    } else {
      kept.push_back(rows_[i]);
    }
  }
  if (first_removed < 0) return;
  rows_ = std::move(kept);
  FillList(std::min(first_removed, static_cast<int>(rows_.size()) - 1));
}

void TfrmMessageRulesList::MoveFocused(int delta) {
  int row = lstRules->currentRow();
  int target = row + delta;
  if (row < 0 || target < 0 || target >= static_cast<int>(rows_.size()) || target > kMaxPosition) return;
  std::swap(rows_[row], rows_[target]);
  // The focus stays where the row was, now on the row it changed places with.
  FillList(row);
}

bool TfrmMessageRulesList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstRules && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & Qt::ControlModifier) && lstRules->currentRow() >= 0 &&
        (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      MoveFocused(key->key() == Qt::Key_Up ? -1 : 1);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmMessageRulesList::done(int result) {
  if (!saved_) {
    saved_ = true;
    try {
      cRulesArray rules;
      for (const cRuleNodeInfo& r : rows_) rules.push_back(r.rule);
      if (!path_.empty()) SaveRules(path_, rules);
    } catch (const std::exception& e) {
      ReportError(QuotedStr(e.what()) + " has occured while saving the rules file " + QuotedStr(path_));
    }
    if (OptionsIni) {
      OptionsIni->WriteInteger("RulesListWindow", "Height", height());
      OptionsIni->WriteInteger("RulesListWindow", "Width", width());
    }
  }
  QDialog::done(result);
}

void ShowRulesList(const std::string& account, bool incoming) {
  if (account.empty()) return;
  TfrmMessageRulesList window(QApplication::activeWindow());
  window.LoadRulesList(incoming ? IncomingRulesFile(account) : OutgoingRulesFile(account), incoming);
  window.exec();
}

}  // namespace qm
