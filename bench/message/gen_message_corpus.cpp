// Writes the parser benchmark corpus into a directory: gen_message_corpus DIR [COUNT]
#include <cstdio>
#include <cstdlib>

#include "message_corpus.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gen_message_corpus DIR [COUNT]\n");
    return 2;
  }
  std::string dir = qm::IncludeTrailingSlash(argv[1]);
  qm::ForceDirectories(dir);
  int count = argc > 2 ? std::atoi(argv[2]) : 2000;
  auto corpus = qm::bench::GenerateCorpus(dir, count);
  std::printf("%zu messages, %.1f MB in %s\n", corpus.files.size(), corpus.bytes / 1e6, dir.c_str());
  return 0;
}
