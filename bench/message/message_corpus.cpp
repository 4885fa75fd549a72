#include "message_corpus.h"

#include <cmath>
#include <cstdio>
#include <random>

#include "message/transfer_encodings.h"
#include "platform/file_system.h"

namespace qm::bench {

namespace {

const char* const kWords[] = {"the", "meeting", "project", "tomorrow", "attached", "please", "thanks",
                              "regards", "schedule", "report", "budget", "review", "update", "customer",
                              "order", "invoice", "delivery", "question", "server", "account", "message",
                              "Monday", "Friday", "week", "office", "team", "release", "version", "and",
                              "of", "to", "in", "is", "for", "with", "on", "we", "can", "will", "would"};

// Encoded words in several charsets (text bytes already in that charset).
struct Word {
  const char* charset;
  char letter;
  std::string bytes;
};
const Word kSubjectWords[] = {
    {"utf-8", 'B', "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln"},
    {"UTF-8", 'Q', "Caf\xC3\xA9 cr\xC3\xA8me \xE2\x80\x94 menu"},
    {"iso-8859-1", 'Q', "R\xE9sum\xE9 f\xFCr Stra\xDF" "e"},
    {"ISO-8859-15", 'B', "Preis 20 \xA4 Angebot"},
    {"windows-1252", 'Q', "\x93Quoted\x94 \x96 offer"},
    {"koi8-r", 'B', "\xF0\xD2\xC9\xD7\xC5\xD4 \xCD\xC9\xD2"},
    {"iso-8859-2", 'Q', "Dzi\xEAkuj\xEA bardzo"},
    {"shift_jis", 'B', "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD"},
};

std::string Words(std::mt19937& rng, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    if (i) s += ' ';
    s += kWords[rng() % (sizeof kWords / sizeof kWords[0])];
  }
  return s;
}

std::string EncodedWord(const Word& w) {
  std::string text;
  if (w.letter == 'B') {
    text = Base64EncodeLine(w.bytes);
  } else {
    static const char* hex = "0123456789ABCDEF";
    for (unsigned char c : w.bytes) {
      if (c == ' ') text += '_';
      else if (c < 128 && c != '=' && c != '?' && c != '_') text += static_cast<char>(c);
      else text += std::string("=") + hex[c >> 4] + hex[c & 15];
    }
  }
  return "=?" + std::string(w.charset) + "?" + w.letter + "?" + text + "?=";
}

// Text wrapped at about 72 characters, CR LF lines.
std::string Paragraphs(std::mt19937& rng, size_t bytes) {
  std::string out, line;
  while (out.size() < bytes) {
    line = Words(rng, 8 + static_cast<int>(rng() % 5));
    out += line + "\r\n";
    if (rng() % 6 == 0) out += "\r\n";
  }
  return out;
}

std::string QuotedPrintable(const std::string& text) {
  std::string out;
  size_t col = 0;
  static const char* hex = "0123456789ABCDEF";
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\r\n";
      ++i;
      col = 0;
      continue;
    }
    std::string piece = (c >= 33 && c <= 126 && c != '=') || c == ' ' ? std::string(1, static_cast<char>(c))
                                                                      : std::string("=") + hex[c >> 4] + hex[c & 15];
    if (col + piece.size() > 75) {
      out += "=\r\n";
      col = 0;
    }
    out += piece;
    col += piece.size();
  }
  return out;
}

std::string Headers(std::mt19937& rng, int i, const std::string& content_type) {
  const Word& w = kSubjectWords[rng() % (sizeof kSubjectWords / sizeof kSubjectWords[0])];
  std::string s;
  s += "Return-Path: <sender" + std::to_string(i) + "@example.org>\r\n";
  s += "Received: from mx.example.org (mx.example.org [127.0.0.1])\r\n\tby mail.example.net with ESMTPS id " +
       std::to_string(rng()) + "\r\n\tfor <bob@example.net>; Tue, 5 Mar 2024 08:30:00 -0800\r\n";
  s += "Date: Tue, " + std::to_string(1 + rng() % 28) + " Mar 2024 " + std::to_string(10 + rng() % 10) +
       ":15:32 +0100\r\n";
  s += "From: " + EncodedWord(kSubjectWords[rng() % 3]) + " <sender" + std::to_string(i) + "@example.org>\r\n";
  s += "To: Bob <bob@example.net>, \"Carl Smith\" <carl@example.com>\r\n";
  if (rng() % 3 == 0) s += "Cc: team@example.net\r\n";
  s += "Subject: Re: " + EncodedWord(w) + " " + Words(rng, 3) + "\r\n";
  s += "Message-ID: <" + std::to_string(rng()) + "." + std::to_string(i) + "@example.org>\r\n";
  s += "MIME-Version: 1.0\r\n";
  s += "Content-Type: " + content_type + "\r\n";
  return s;
}

std::string Attachment(std::mt19937& rng, size_t bytes, const std::string& boundary, int n) {
  std::string data(bytes, '\0');
  uint32_t x = rng();
  for (size_t k = 0; k < bytes; ++k) {
    x = x * 1664525u + 1013904223u;
    data[k] = static_cast<char>(x >> 24);
  }
  static const char* kinds[][2] = {{"application/pdf", ".pdf"}, {"image/jpeg", ".jpg"}, {"application/zip", ".zip"}};
  auto kind = kinds[rng() % 3];
  std::string name = "file " + std::to_string(n) + kind[1];
  std::string s = "--" + boundary + "\r\nContent-Type: " + kind[0] + "; name=\"" + name +
                  "\"\r\nContent-Disposition: attachment; filename=\"" + name +
                  "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n";
  s += Base64EncodeBytes(data);
  return s;
}

}  // namespace

Corpus GenerateCorpus(const std::string& dir, int count, uint32_t seed) {
  std::mt19937 rng(seed);
  Corpus corpus;
  char name[32];
  for (int i = 0; i < count; ++i) {
    int kind = static_cast<int>(rng() % 100);
    std::string msg;
    std::string text = Paragraphs(rng, 1500 + rng() % 15000);
    if (kind < 45) {
      // Plain text: 7bit, or quoted-printable UTF-8.
      if (kind % 2) {
        msg = Headers(rng, i, "text/plain; charset=us-ascii") + "Content-Transfer-Encoding: 7bit\r\n\r\n" + text;
      } else {
        msg = Headers(rng, i, "text/plain; charset=\"utf-8\"") +
              "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
              QuotedPrintable("Gr\xC3\xBC\xC3\x9F" "e \xE2\x80\x94 " + text);
      }
    } else {
      std::string alt = "alt_" + std::to_string(rng());
      std::string html = "<html><body><p>" + text + "</p></body></html>\r\n";
      std::string alternative =
          "--" + alt + "\r\nContent-Type: text/plain; charset=\"utf-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n" +
          QuotedPrintable(text) + "\r\n--" + alt +
          "\r\nContent-Type: text/html; charset=\"utf-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n" +
          QuotedPrintable(html) + "\r\n--" + alt + "--\r\n";
      if (kind < 85) {
        msg = Headers(rng, i, "multipart/alternative; boundary=\"" + alt + "\"") + "\r\n" + alternative;
      } else {
        std::string mixed = "mix_" + std::to_string(rng());
        msg = Headers(rng, i, "multipart/mixed;\r\n boundary=\"" + mixed + "\"") +
              "\r\nThis is a multi-part message in MIME format.\r\n--" + mixed +
              "\r\nContent-Type: multipart/alternative; boundary=\"" + alt + "\"\r\n\r\n" + alternative;
        // Log-uniform sizes from 10 KB to 5 MB.
        double u = std::uniform_real_distribution<double>(0, 1)(rng);
        size_t size = static_cast<size_t>(10e3 * std::pow(500.0, u));
        msg += Attachment(rng, size, mixed, i);
        msg += "--" + mixed + "--\r\n";
      }
    }
    std::snprintf(name, sizeof name, "%05d.eml", i);
    std::string path = dir + name;
    WriteFileAtomically(path, msg);
    corpus.files.push_back(path);
    corpus.bytes += msg.size();
  }
  return corpus;
}

std::string LargeAttachmentMessage(size_t bytes) {
  std::mt19937 rng(7);
  std::string head = Headers(rng, 0, "multipart/mixed; boundary=\"big\"") + "\r\n--big\r\nContent-Type: text/plain\r\n\r\n" +
                     Paragraphs(rng, 2000);
  size_t raw = (bytes - head.size()) / 78 * 57;
  return head + Attachment(rng, raw, "big", 0) + "--big--\r\n";
}

std::string LargeTextMessage(size_t bytes) {
  std::mt19937 rng(8);
  std::string head = Headers(rng, 0, "text/plain; charset=utf-8") + "\r\n";
  return head + Paragraphs(rng, bytes - head.size());
}

std::string LargeHtmlMessage(size_t bytes) {
  std::mt19937 rng(9);
  std::string head = Headers(rng, 0, "multipart/alternative; boundary=\"alt\"") +
                     "\r\n--alt\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nshort\r\n--alt\r\n"
                     "Content-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\n";
  std::string body;
  while (body.size() + head.size() < bytes) body += "<p>Gr\xC3\xBC\xC3\x9F" "e " + Words(rng, 10) + "</p>\r\n";
  return head + body + "--alt--\r\n";
}

std::string LargeQuotedPrintableMessage(size_t bytes) {
  std::mt19937 rng(11);
  std::string head = Headers(rng, 0, "text/plain; charset=utf-8") + "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
  std::string body;
  while (body.size() + head.size() < bytes) body += "Gr=C3=BC=C3=9Fe " + Words(rng, 10) + " =E2=80=94 end=\r\n";
  return head + body;
}

std::string LargeLatin1Message(size_t bytes) {
  std::mt19937 rng(10);
  std::string head = Headers(rng, 0, "text/plain; charset=iso-8859-1") + "\r\n";
  std::string body;
  while (body.size() + head.size() < bytes) body += "Gr\xFC\xDF" "e " + Words(rng, 10) + "\r\n";
  return head + body;
}

}  // namespace qm::bench
