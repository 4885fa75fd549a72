// ParseMessageFile against GMime 3 on the same corpus: both read each file,
// decode the header fields (encoded words, addresses, date), keep the header
// lines, turn the text parts into UTF-8 body lines and write every attachment
// decoded into a file. Also the peak memory of parsing one 50 MB message, in
// a fresh child process.
#include <fcntl.h>
#include <gmime/gmime.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "message/parse_message.h"
#include "message_corpus.h"
#include "platform/file_system.h"
#include "platform/text_lines.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "store/mail_message.h"

using namespace qm;

namespace {

class CountingSink : public ErrorSink {
 public:
  void Report(const std::string& m, bool) override {
    if (++count <= 3) std::fprintf(stderr, "report: %s\n", m.c_str());
  }
  int count = 0;
};

struct Work {
  size_t attachments = 0;
  size_t body_lines = 0;
  size_t subject_bytes = 0;
};

void Ours(const std::string& path, Work& w) {
  cMailMessage msg;
  InitMessage(msg);
  ParseMessageFile(path, msg);
  w.attachments += msg.Attachments->size();
  w.body_lines += msg.Body->size();
  w.subject_bytes += msg.Subject.size() + msg.FromName.size();
  FreeMessage(msg);
}

struct GMimeWalk {
  const std::string* out_dir;
  int index;
  int n = 0;
  StringList body;
  Work* w;
};

void VisitPart(GMimeObject*, GMimeObject* part, gpointer data) {
  auto* walk = static_cast<GMimeWalk*>(data);
  if (!GMIME_IS_PART(part)) return;
  GMimePart* p = GMIME_PART(part);
  if (GMIME_IS_TEXT_PART(part) && !g_mime_part_is_attachment(p)) {
    char* text = g_mime_text_part_get_text(GMIME_TEXT_PART(part));
    if (text) {
      StringList lines = SplitLines(text);
      walk->body.insert(walk->body.end(), lines.begin(), lines.end());
      g_free(text);
    }
    return;
  }
  const char* name = g_mime_part_get_filename(p);
  std::string file = *walk->out_dir + std::to_string(walk->index) + "_" + std::to_string(walk->n++) + "_" +
                     ExtractFileName(name ? name : "No name");
  GMimeStream* out = g_mime_stream_fs_open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644, nullptr);
  if (!out) return;
  GMimeDataWrapper* content = g_mime_part_get_content(p);
  if (content) g_mime_data_wrapper_write_to_stream(content, out);
  g_mime_stream_flush(out);
  g_object_unref(out);
  walk->w->attachments++;
}

void Peer(const std::string& path, const std::string& out_dir, int index, Work& w) {
  GMimeStream* stream = g_mime_stream_fs_open(path.c_str(), O_RDONLY, 0, nullptr);
  if (!stream) return;
  GMimeParser* parser = g_mime_parser_new_with_stream(stream);
  GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
  g_object_unref(parser);
  g_object_unref(stream);
  if (!message) return;
  const char* subject = g_mime_message_get_subject(message);
  std::string fields = subject ? subject : "";
  for (InternetAddressList* list : {g_mime_message_get_from(message), g_mime_message_get_to(message),
                                    g_mime_message_get_cc(message), g_mime_message_get_reply_to(message)}) {
    if (!list) continue;
    char* s = internet_address_list_to_string(list, nullptr, FALSE);
    if (s) fields += s;
    g_free(s);
  }
  GDateTime* date = g_mime_message_get_date(message);
  if (date) fields += std::to_string(g_date_time_to_unix(date));
  StringList headers;
  GMimeHeaderList* hl = g_mime_object_get_header_list(GMIME_OBJECT(message));
  for (int i = 0, n = g_mime_header_list_get_count(hl); i < n; ++i) {
    GMimeHeader* h = g_mime_header_list_get_header_at(hl, i);
    headers.push_back(std::string(g_mime_header_get_name(h)) + ":" + g_mime_header_get_raw_value(h));
  }
  GMimeWalk walk{&out_dir, index, 0, {}, &w};
  g_mime_message_foreach(message, VisitPart, &walk);
  w.body_lines += walk.body.size();
  w.subject_bytes += fields.size();
  g_object_unref(message);
}

// User and system CPU seconds of this process: steadier than the clock on a
// loaded machine, printed beside the throughput.
double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Seconds(const std::chrono::steady_clock::time_point& t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void Line(const char* name, double ours, double peer, const char* peer_name, const char* unit, double ratio,
          const char* goal) {
  std::printf("BENCH|%s|%.3f|%.3f|%s|%s|%.2f|%s\n", name, ours, peer, peer_name, unit, ratio, goal);
  std::fflush(stdout);
}

// Child mode: parse one file with one side and exit.
int PeakChild(const std::string& who, const std::string& file, const std::string& root) {
  InitialisePaths(root);
  SetErrorSink(std::make_shared<CountingSink>());
  Work w;
  if (who == "ours") {
    Ours(file, w);
  } else if (who == "gmime") {
    g_mime_init();
    Peer(file, root, 0, w);
  }
  // VmHWM: the peak resident set of this process, in kB.
  FILE* f = std::fopen("/proc/self/status", "r");
  char line[256];
  long kb = -1;
  while (f && std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
  if (f) std::fclose(f);
  std::printf("%ld\n", kb);
  return 0;
}

// Peak resident size in MB of a fresh child running PeakChild: the child
// reads its own high-water mark after exec, so nothing of this process counts.
double PeakOf(const char* self, const std::string& who, const std::string& file, const std::string& root) {
  std::string cmd = std::string("'") + self + "' --peak " + who + " '" + file + "' '" + root + "'";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return -1;
  double kb = -1;
  if (std::fscanf(p, "%lf", &kb) != 1) kb = -1;
  pclose(p);
  return kb / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--peak") == 0) return PeakChild(argv[2], argv[3], argv[4]);
  int count = argc > 1 ? std::atoi(argv[1]) : 2000;

  std::string root = CreateUniqueFile(SystemTempDir(), "quill-bench-msg-");
  RemoveFile(root);
  root = IncludeTrailingSlash(root);
  ForceDirectories(root + "corpus/");
  InitialisePaths(root);
  auto sink = std::make_shared<CountingSink>();
  SetErrorSink(sink);
  g_mime_init();

  auto corpus = bench::GenerateCorpus(root + "corpus/", count);
  const double mb = corpus.bytes / 1e6;
  std::printf("corpus: %zu messages, %.1f MB\n", corpus.files.size(), mb);

  const std::string peer_dir = root + "gmime/";
  double best_ours = 1e30, best_peer = 1e30, cpu_ours = 1e30, cpu_peer = 1e30;
  Work wo, wp;
  for (int round = 0; round < 3; ++round) {
    RemoveDirectoryTree(AttachmentsDir);
    ForceDirectories(AttachmentsDir);
    wo = Work{};
    auto t0 = std::chrono::steady_clock::now();
    double c0 = CpuSeconds();
    for (const auto& f : corpus.files) Ours(f, wo);
    best_ours = std::min(best_ours, Seconds(t0));
    cpu_ours = std::min(cpu_ours, CpuSeconds() - c0);

    RemoveDirectoryTree(peer_dir);
    ForceDirectories(peer_dir);
    wp = Work{};
    t0 = std::chrono::steady_clock::now();
    c0 = CpuSeconds();
    int index = 0;
    for (const auto& f : corpus.files) Peer(f, peer_dir, index++, wp);
    best_peer = std::min(best_peer, Seconds(t0));
    cpu_peer = std::min(cpu_peer, CpuSeconds() - c0);
  }
  std::printf("ours: %zu attachments, %zu body lines; gmime: %zu attachments, %zu body lines; %d reports\n",
              wo.attachments, wo.body_lines, wp.attachments, wp.body_lines, sink->count);
  double ours_mbs = mb / best_ours, peer_mbs = mb / best_peer;
  std::printf("CPU seconds (best round): ours %.3f, GMime %.3f, ratio %.2f\n", cpu_ours, cpu_peer, cpu_peer / cpu_ours);
  Line("parse_corpus_throughput", ours_mbs, peer_mbs, "GMime 3", "MB/s", ours_mbs / peer_mbs, ">=1.0");
  RemoveDirectoryTree(AttachmentsDir);
  RemoveDirectoryTree(peer_dir);
  RemoveDirectoryTree(root + "corpus/");

  // Peak memory for a 50 MB message: at most four times its size.
  const size_t big = 50u * 1000 * 1000;
  for (std::string shape : {"attachment", "text", "html", "latin1", "qp"}) {
    std::string file = root + "big_" + shape + ".eml";
    double size_mb;
    {
      std::string text = shape == "text"   ? bench::LargeTextMessage(big)
                         : shape == "html" ? bench::LargeHtmlMessage(big)
                         : shape == "latin1" ? bench::LargeLatin1Message(big)
                         : shape == "qp"     ? bench::LargeQuotedPrintableMessage(big)
                                             : bench::LargeAttachmentMessage(big);
      WriteFileAtomically(file, text);
      size_mb = text.size() / 1048576.0;
    }
    double base = PeakOf(argv[0], "none", file, root);
    double ours = PeakOf(argv[0], "ours", file, root);
    double peer = PeakOf(argv[0], "gmime", file, root);
    RemoveDirectoryTree(AttachmentsDir);
    ForceDirectories(AttachmentsDir);
    std::printf("50 MB %s message: %.1f MB file, peak RSS ours %.1f MB, GMime %.1f MB, empty child %.1f MB\n",
                shape.c_str(), size_mb, ours, peer, base);
    std::string name = "parse_50MB_" + shape + "_peak_memory";
    Line(name.c_str(), ours, 4 * size_mb, "4x message size", "MB", 4 * size_mb / ours, ">=1.0");
    RemoveFile(file);
  }
  RemoveDirectoryTree(root);
  return 0;
}
