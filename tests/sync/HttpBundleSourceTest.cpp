// Reading a bundle from a web server: what comes is taken, a redirect to another server and a
// file longer than its manifest says are refused, and every failure gives its reason.
#include "sync/HttpBundleSource.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <map>

#include "EventWait.h"
#include "TempDir.h"

namespace {

// A web server of the test's own on 127.0.0.1 that answers each path with a fixed response.
struct TinyServer {
    QTcpServer server;
    std::map<QByteArray, QByteArray> answers;  // request path -> whole response
    TinyServer() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                const QByteArray path = s->readAll().split(' ').value(1);
                const auto it = answers.find(path);
                s->write(it != answers.end()
                             ? it->second
                             : "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
                s->disconnectFromHost();
            });
        });
    }
    QString url(const QString& path = "/") const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }
    static QByteArray ok(const QByteArray& body) {
        return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\nConnection: close\r\n\r\n" + body;
    }
    static QByteArray redirect(const QString& to) {
        return "HTTP/1.1 302 Found\r\nLocation: " + to.toUtf8() +
               "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    }
};

struct Read {
    bool done = false;
    QByteArray json;
    QString why;
};

Read readManifest(const QString& folder) {
    HttpBundleSource source{QUrl(folder)};
    Read r;
    source.readManifest([&r](const QByteArray& json, const QString& why) {
        r = {true, json, why};
    });
    EXPECT_TRUE(waitUntil([&r] { return r.done; }));
    return r;
}

TEST(HttpBundleSourceTest, ManifestIsReadFromItsServerAndRedirectsStayOnIt) {
    TinyServer web;
    web.answers["/school/manifest.json"] = TinyServer::ok("{}");
    web.answers["/moved/manifest.json"] = TinyServer::redirect(web.url("/school/manifest.json"));
    web.answers["/away/manifest.json"] = TinyServer::redirect(
        QStringLiteral("http://localhost:%1/school/manifest.json").arg(web.server.serverPort()));
    const struct {
        const char* folder;
        const char* json;
        const char* why;  // what the reason holds; empty when it is read
    } cases[] = {
        {"/school", "{}", ""},
        {"/moved/", "{}", ""},
        {"/away/", "", "拒绝跳转到其他服务器：http://localhost:"},
        {"/gone/", "", "HTTP 404"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const Read r = readManifest(web.url(c.folder));
        EXPECT_EQ(r.json, c.json);
        EXPECT_TRUE(r.why.contains(c.why)) << r.why.toStdString();
        EXPECT_EQ(r.why.isEmpty(), !*c.why);
    }
    const quint16 port = web.server.serverPort();
    web.server.close();
    EXPECT_FALSE(readManifest(QStringLiteral("http://127.0.0.1:%1/").arg(port)).why.isEmpty());
}

TEST(HttpBundleSourceTest, FilesComeIntoStagingAndOneLongerThanItsManifestIsRefused) {
    TinyServer web;
    web.answers["/s/v1/files/Music/%E4%B8%8A%E8%AF%BE.wav"] = TinyServer::ok("bell");
    web.answers["/s/v1/tables/temp.csv"] = TinyServer::ok("rows and more rows");
    TempDir staging;
    const bundle::Manifest manifest{"v1",
                                    {{"files/Music/上课.wav", 4, {}}, {"tables/temp.csv", 4, {}}}};
    HttpBundleSource source{QUrl(web.url("/s/"))};
    const auto fetch = [&](const QStringList& paths) {
        std::optional<QString> why;
        source.fetch(manifest, paths, staging.path(), [&why](const QString& w) { why = w; });
        EXPECT_TRUE(waitUntil([&why] { return why.has_value(); }));
        return why.value_or("not done");
    };
    EXPECT_EQ(fetch({"files/Music/上课.wav"}), QString());
    EXPECT_EQ(staging.read("files/Music/上课.wav"), "bell");
    EXPECT_EQ(fetch({"tables/temp.csv"}), "文件比清单里的大：tables/temp.csv");
}

}  // namespace
