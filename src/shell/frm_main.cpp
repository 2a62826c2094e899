#include "shell/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app/view_settings.h"
#include "commands/cell_edit.h"
#include "commands/edit_frame.h"
#include "commands/event_list.h"
#include "commands/guard.h"
#include "commands/lifecycle.h"
#include "commands/load_driver.h"
#include "commands/playback_actions.h"
#include "commands/save_as.h"
#include "commands/save_track.h"
#include "commands/track_decoder.h"
#include "commands/track_selection.h"
#include "common/file_system.h"
#include "shell/event_list_model.h"
#include "shell/frm_about.h"
#include "shell/icons.h"
#include "shell/piano_roll.h"
#include "shell/problems_pane.h"
#include "shell/qt_text.h"
#include "shell/recent_files.h"

namespace quavert {
namespace {

constexpr const char* kCaption = " Quavert 0.15";
constexpr int kTimer1Interval = 1000;
constexpr int kFollowInterval = 100;

struct ToolbarButton {
  int Position;
  const char* Description;  // what the click compares
  const char* ToolTip;
  IconShape Shape;
};

constexpr ToolbarButton kToolbarButtons[] = {
    {1, "Open", "Open...", IconShape::kOpen},
    {2, "Save", "Save Midi...", IconShape::kSave},
    {4, "Play", "Play", IconShape::kPlay},
    {5, "Pause", "Pause", IconShape::kPause},
    {6, "Stop", "Stop", IconShape::kStop},
};

QLineEdit* InfoBox(QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setReadOnly(true);
  box->setAcceptDrops(false);
  box->setFocusPolicy(Qt::ClickFocus);  // shown, copied from, never typed into: Tab passes them by
  return box;
}

// The first local file among dropped URLs, or "" when there is none.
QString DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

}  // namespace

frmmain::frmmain(std::string app_folder, MediaService& media, QWidget* parent)
    : QMainWindow(parent), toolkit_(*this), session_(std::move(app_folder), toolkit_, media) {
  SetCaption(QString::fromLatin1(kCaption));
  setWindowIcon(QIcon(DrawIcon(IconShape::kQuaver)));
  setAcceptDrops(true);

  BuildMenus();
  BuildToolbar();

  auto* top = new QWidget(this);
  auto* top_layout = new QHBoxLayout(top);
  top_layout->setContentsMargins(0, 0, 0, 0);
  top_layout->addWidget(BuildInfoAndEdit());
  top_layout->addWidget(BuildTrackArea(), 1);

  BuildList();
  BuildViews();
  BuildProblemsView();
  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(top);
  splitter->addWidget(BuildListArea());
  splitter->addWidget(RollPane);
  splitter->addWidget(ProblemsView);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setStretchFactor(2, 1);
  splitter->setStretchFactor(3, 0);
  splitter->setChildrenCollapsible(false);
  auto* central = new QWidget(this);
  auto* central_layout = new QVBoxLayout(central);
  central_layout->addWidget(splitter);
  setCentralWidget(central);

  StatusBar1 = new QLabel(this);
  statusBar()->addWidget(StatusBar1, 1);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setFixedWidth(200);
  ProgressBar1->hide();
  statusBar()->addPermanentWidget(ProgressBar1);
  PositionLabel = new QLabel(this);
  statusBar()->addPermanentWidget(PositionLabel);

  Timer1 = new QTimer(this);
  Timer1->setInterval(kTimer1Interval);

  FollowTimer = new QTimer(this);
  FollowTimer->setInterval(kFollowInterval);
  clock_.start();

  SetDesignState();
  ConnectHandlers();
  ConnectViews();
  ConnectByteViews();
  Timer1->start();
  FollowTimer->start();
  resize(860, 640);
}

frmmain::~frmmain() {
  // An editor still open would commit while the window is being torn down.
  model_->SetEditDone({});
  hook_->Unhook();
}

void frmmain::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
  mnuOpen = file->addAction(QStringLiteral("Open..."));
  mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  mnuRecent = file->addMenu(QStringLiteral("Open Recent"));
  mnuSave = file->addAction(QStringLiteral("Save Midi..."));
  mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  file->addSeparator()->setObjectName(QStringLiteral("streep1"));
  mnuExit = file->addAction(QStringLiteral("Exit"));
  mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  BuildEditMenu();

  QMenu* controls = menuBar()->addMenu(QStringLiteral("Controls"));
  mnuPlay = controls->addAction(QStringLiteral("Play"));
  mnuPause = controls->addAction(QStringLiteral("Pause"));
  mnuStop = controls->addAction(QStringLiteral("Stop"));

  // Space and Shift+Space work in the list and the roll (BuildViews gives the keys to them):
  // elsewhere Space still presses the button or opens the box that has the focus.
  mnuPlayFromHere = new QAction(QStringLiteral("Play from Here"), this);
  mnuPlayFromHere->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Space));
  mnuPlayFromHere->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  PlayPauseKey = new QAction(QStringLiteral("Play/Pause"), this);
  PlayPauseKey->setShortcut(QKeySequence(Qt::Key_Space));
  PlayPauseKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);

  QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
  mnuPianoRoll = view->addAction(QStringLiteral("Piano Roll"));
  mnuPianoRoll->setCheckable(true);
  mnuFollowPlayback = view->addAction(QStringLiteral("Follow Playback"));
  mnuFollowPlayback->setCheckable(true);
  mnuFollowPlayback->setChecked(true);
  BuildByteMenus(view);

  QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
  mnuAbout = help->addAction(QStringLiteral("About..."));
}

void frmmain::BuildToolbar() {
  Toolbar2 = addToolBar(QStringLiteral("Toolbar2"));
  Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
  Toolbar2->setMovable(false);
  Toolbar2->setIconSize(QSize(16, 16));
  Toolbar2->setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (const ToolbarButton& button : kToolbarButtons) {
    if (button.Position == 4) Toolbar2Buttons[3] = Toolbar2->addSeparator();
    QAction* action = Toolbar2->addAction(ToolbarIcon(button.Shape), QString::fromLatin1(button.Description));
    action->setData(QString::fromLatin1(button.Description));
    action->setToolTip(QString::fromLatin1(button.ToolTip));
    Toolbar2Buttons[button.Position] = action;
  }
  PositionSlider = new QSlider(Qt::Horizontal, Toolbar2);
  PositionSlider->setObjectName(QStringLiteral("PositionSlider"));
  PositionSlider->setToolTip(QStringLiteral("Position"));
  PositionSlider->setFixedWidth(220);
  PositionSlider->setRange(0, 0);
  PositionSlider->setFocusPolicy(Qt::NoFocus);
  PositionSlider->setEnabled(false);
  Toolbar2->addWidget(PositionSlider);
}

QWidget* frmmain::BuildInfoAndEdit() {
  auto* column = new QWidget(this);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);

  Frame1 = new QGroupBox(QStringLiteral(" Info "), column);
  auto* info = new QFormLayout(Frame1);
  Label2 = new QLabel(QStringLiteral("File Size:"), Frame1);
  Text1 = InfoBox(Frame1);
  Label3 = new QLabel(QStringLiteral("Total Tracks:"), Frame1);
  Text3 = InfoBox(Frame1);
  Label4 = new QLabel(QStringLiteral("File Format:"), Frame1);
  Text4 = InfoBox(Frame1);
  info->addRow(Label2, Text1);
  info->addRow(Label3, Text3);
  info->addRow(Label4, Text4);

  Frame2 = new QGroupBox(QStringLiteral(" Edit "), column);
  auto* edit = new QFormLayout(Frame2);
  Label6 = new QLabel(QStringLiteral("Set Tempo:"), Frame2);
  Text6 = new QLineEdit(Frame2);
  Text6->setAcceptDrops(false);
  Label5 = new QLabel(QStringLiteral("Delta Ticks:"), Frame2);
  Text5 = new QLineEdit(Frame2);
  Text5->setAcceptDrops(false);
  Command2 = new QPushButton(QStringLiteral("Save"), Frame2);
  edit->addRow(Label6, Text6);
  edit->addRow(Label5, Text5);
  edit->addRow(QString(), Command2);

  // Nothing is drawn here: the synthesizer plays without a picture, but the media device is
  // still told where its window would go.
  MediaFrame = new QFrame(column);
  MediaFrame->setFrameShape(QFrame::NoFrame);
  MediaFrame->setMinimumHeight(24);

  layout->addWidget(Frame1);
  layout->addWidget(Frame2);
  layout->addWidget(MediaFrame, 1);
  column->setFixedWidth(260);
  return column;
}

QWidget* frmmain::BuildTrackArea() {
  auto* area = new QWidget(this);
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* row = new QHBoxLayout;
  Label1 = new QLabel(QStringLiteral("Track:"), area);
  Combo1 = new QComboBox(area);
  Combo1->setMinimumContentsLength(14);  // "N - Name"; the list that drops down shows names whole
  Combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  Command1 = new QPushButton(QStringLiteral("Notes..."), area);
  Command5 = new QPushButton(QStringLiteral("Save Track"), area);
  row->addWidget(Label1);
  row->addWidget(Combo1);
  row->addWidget(Command1);
  row->addWidget(Command5);
  row->addStretch();
  Text2 = new QPlainTextEdit(area);
  Text2->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Text2->setReadOnly(true);
  Text2->setLineWrapMode(QPlainTextEdit::NoWrap);
  Text2->setAcceptDrops(false);
  layout->addLayout(row);
  layout->addWidget(Text2, 1);
  return area;
}

void frmmain::BuildList() {
  ListView1 = new QTableView(this);
  model_ = new EventListModel(ListView1);
  // The list shows the session's rows where they are.
  model_->SetCellText([this](std::int64_t row, int column) {
    return session_.shown.Text(session_.buffers.Rows, row, column);
  });
  delegate_ = new CellEditDelegate(ListView1);
  hook_ = new MediaFrameHook(this);
  ListView1->setModel(model_);
  ListView1->setItemDelegate(delegate_);
  // Editors open only when the program asks, after a click on a cell it lets the user change.
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);  // rows are deleted together
  ListView1->setShowGrid(false);
  ListView1->setWordWrap(false);
  ListView1->setTabKeyNavigation(false);
  ListView1->verticalHeader()->hide();
  // Every row is one line high and never measured: a list of 200,000 rows costs no layout.
  ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
  ListView1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  ListView1->horizontalHeader()->setHighlightSections(false);
  ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ListView1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  ListView1->setAcceptDrops(false);
  // F2 and Enter edit the current cell, as in other lists; the editor's own Return ends its edit.
  EditCellKey = new QAction(QStringLiteral("Edit Cell"), this);
  EditCellKey->setShortcuts({QKeySequence(Qt::Key_F2), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  EditCellKey->setShortcutContext(Qt::WidgetShortcut);
  ListView1->addAction(EditCellKey);
}

void frmmain::SetDesignState() {
  ShowControls(session_);
}

void frmmain::ConnectHandlers() {
  connect(mnuOpen, &QAction::triggered, this, [this] { OpenFile(""); });
  connect(mnuRecent, &QMenu::aboutToShow, this, &frmmain::FillRecentMenu);
  connect(mnuSave, &QAction::triggered, this, [this] { Command([this] { SaveAs(session_); }); });
  connect(mnuExit, &QAction::triggered, this, &QWidget::close);
  connect(mnuPlay, &QAction::triggered, this, [this] { Command([this] { PlayAction(session_); }); });
  connect(mnuPause, &QAction::triggered, this, [this] { Command([this] { PauseAction(session_); }); });
  connect(mnuStop, &QAction::triggered, this, [this] { Command([this] { StopAction(session_); }); });
  // The About box is no command of the program's: the status poll goes on while it is open.
  connect(mnuAbout, &QAction::triggered, this, [this] {
    if (!ended_ && !running_command_) ShowAbout();
  });
  connect(Combo1, &QComboBox::activated, this, [this](int index) {
    // Another track empties the list: its edits not yet written are asked about first.
    if (!ConfirmLoss(false)) {
      Combo1->setCurrentIndex(session_.file.CurrentTrack - 1);
      return;
    }
    // The user may stop a long decode with Esc: the track before comes back.
    KeepListPlace([this, index] { Command([this, index] { Combo1Click(session_, index, true); }); });
  });
  connect(Command1, &QPushButton::clicked, this,
          [this] {
            // Esc may stop the listing: a list shown before then comes back, edits and all.
            KeepListPlace([this] {
              CommandTelling([this] { return Command1Click(session_) ? Change::kListBuilt : Change::kOther; });
            });
          });
  connect(Command5, &QPushButton::clicked, this,
          [this] { Command([this] { SaveTrackCommand(session_); }, true, Change::kTrackSaved); });
  connect(Command2, &QPushButton::clicked, this, [this] {
    Command([this] { Command2Click(session_, toolkit_.GetText(Control::Text6), toolkit_.GetText(Control::Text5)); },
            true, Change::kFrameSaved);
  });
  connect(EditCellKey, &QAction::triggered, this, &frmmain::EditCurrentCell);
  connect(ListView1, &QAbstractItemView::clicked, this, &frmmain::ListView1CellClick);
  connect(Timer1, &QTimer::timeout, this, [this] { Command([this] { Timer1Tick(session_); }, false); });
  for (QAction* button : Toolbar2Buttons) {
    if (button == nullptr || button->isSeparator()) continue;
    connect(button, &QAction::triggered, this, [this, button] { Toolbar2ButtonClick(button->data().toString()); });
  }
  model_->SetEditDone([this](const CellEdit& edit) { ListView1CellEditDone(edit); });
  SyncToolbarWithMenus();
  ConnectEditMenu();
}

void frmmain::Command(const std::function<void()>& command, bool sync_views, Change change) {
  CommandTelling([&] {
    command();
    return change;
  }, sync_views);
}

void frmmain::CommandTelling(const std::function<Change()>& command, bool sync_views) {
  if (ended_ || running_command_) return;
  running_command_ = true;
  const std::size_t clears = toolkit_.ChooserClears();
  Change change = Change::kOther;
  RunGuarded(session_, [&] { change = command(); });
  if (sync_views && !ended_) {
    RunGuarded(session_, [this] { SyncViews(); });
    RunGuarded(session_, [&] { NoteChanges(change, clears != toolkit_.ChooserClears()); });
  }
  UpdateEditMenu();
  running_command_ = false;
  if (close_pending_ && !confirming_) close();
}

void frmmain::KeepListPlace(const std::function<void()>& command) {
  const int scrolled = ListView1->verticalScrollBar()->value();
  const QModelIndex current = ListView1->currentIndex();
  command();
  // A decode or an open that ran to its end leaves the list empty.
  if (model_->Count() == 0) return;
  ListView1->verticalScrollBar()->setValue(scrolled);
  if (current.isValid()) ListView1->setCurrentIndex(model_->index(current.row(), current.column()));
}

void frmmain::Toolbar2ButtonClick(const QString& description) {
  // Opening asks first about what it would lose.
  if (description == QLatin1String("Open")) return OpenFile("");
  // Each description is compared on its own, in this order, so exactly one command runs.
  Command([&] {
    if (description == QLatin1String("Open")) OpenMidiFile(session_, "");
    if (description == QLatin1String("Save")) SaveAs(session_);
    if (description == QLatin1String("Play")) PlayAction(session_);
    if (description == QLatin1String("Pause")) PauseAction(session_);
    if (description == QLatin1String("Stop")) StopAction(session_);
  });
}

void frmmain::ListView1CellClick(const QModelIndex& index) {
  // The view reports only clicks of the left button, on a cell.
  constexpr int kLeftButton = 1;
  // The columns of the bytes are the window's own: the program hears of clicks on its columns only.
  if (!index.isValid() || index.column() >= model_->ProgramColumns()) return;
  Command([&] { CellClick(session_, index.row() + 1, index.column(), kLeftButton, true); });
}

void frmmain::ListView1CellEditDone(const CellEdit& edit) {
  if (ended_) return;
  if (running_command_) {
    // The edit ended while a command let pending events run: it is handled once that is done.
    QTimer::singleShot(0, this, [this, edit] { ListView1CellEditDone(edit); });
    return;
  }
  Command([&] { CellEditDone(session_, edit.Item, edit.Column, edit.OldText, edit.NewText); });
  if (edit.Next != 0) EditNextCell(edit.Item, edit.Column, edit.Next);
}

void frmmain::OpenDropped(const QString& path) { OpenFile(PathBytes(path)); }

void frmmain::FormLoad(const std::string& start_file) {
  toolkit_.SetMediaFrameHandle(static_cast<std::int64_t>(MediaFrame->winId()));
  hook_->Install(MediaFrame);
  about_ = std::make_unique<frmAbout>(this);
  // The recent files as the settings file has them, before start-up opens one.
  std::string remembered;
  try {
    remembered = ReadSettings(session_.SettingsFile);
  } catch (const std::exception&) {
    // No settings file yet: nothing was opened before.
  }
  // A remembered file that is gone is forgotten, as start-up forgets it.
  recent_ = ReadViewSettings(session_.SettingsFile).Recent;
  if (FileExists(remembered)) recent_ = WithRecent(recent_, remembered);
  Command([this, &start_file] { quavert::FormLoad(session_, start_file); });
  mnuPianoRoll->setChecked(session_.view.PianoRoll);
  mnuFollowPlayback->setChecked(session_.view.FollowPlayback);
  ShowByteViewSettings();
}

void frmmain::ShowAbout() {
  if (!about_) about_ = std::make_unique<frmAbout>(this);
  about_->exec();
  about_.reset();
}

void frmmain::ShutDown() {
  if (ended_) return;
  ended_ = true;
  Timer1->stop();
  FollowTimer->stop();
  model_->SetEditDone({});
  delegate_->CancelEdit();
  about_.reset();
  quavert::End1(session_, [this] { hook_->Unhook(); });
  session_.view.Recent = RecentBefore(recent_, session_.file.LastOpenedPath);
  WriteSettings(session_);
}

void frmmain::closeEvent(QCloseEvent* event) {
  if (running_command_) {
    // The command still works on the files shutdown deletes: the window closes when it is done.
    close_pending_ = true;
    event->ignore();
    return;
  }
  if (!ended_ && confirming_) {
    // Asked while a question about unsaved changes is up: the window closes once it is answered.
    close_pending_ = true;
    event->ignore();
    return;
  }
  if (!ended_ && !ConfirmLoss(true)) {
    event->ignore();
    return;
  }
  ShutDown();
  event->accept();
}

void frmmain::dragEnterEvent(QDragEnterEvent* event) {
  if (!ended_ && !running_command_ && !confirming_ && !DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmmain::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  // Opened once the drop is over, so that its messages do not hold up the program it came from.
  QTimer::singleShot(0, this, [this, path] { OpenDropped(path); });
}

}  // namespace quavert
