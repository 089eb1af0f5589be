// A page view with the real web engine, for the tests of this folder: it
// opens pages, waits for them and runs scripts in them. Each test makes a
// view of its own; the engine starts once per test program.
#pragma once

#include "preview/ui/previewengine.h"
#include "support/testutil.h"

#include <QImage>
#include <QTest>
#include <QVariant>
#include <QWidget>

#ifdef WP_HAVE_WEBENGINE
#include <QWebEnginePage>
#include <QWebEngineView>
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class WebEngine : public ::testing::Test
{
protected:
    void SetUp() override
    {
#ifndef WP_HAVE_WEBENGINE
        GTEST_SKIP() << "built without Qt WebEngine";
#else
        // The engine's sandbox refuses the superuser, as the tests run in CI.
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        ASSERT_FALSE(WebPreviewModulePath().isEmpty());
        std::filesystem::create_directories(m_dir.File("site"));
        std::filesystem::create_directories(m_dir.File("tmp"));
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(QString::fromStdString(m_dir.File("site/img.png"))));
        m_host.resize(500, 300);
        m_host.show();
        m_pEngine = CreatePreviewEngine(&m_host);
        ASSERT_STREQ(m_pEngine->GetKind(), "webengine");
        m_pEngine->GetWidget()->resize(500, 300);
        m_pEngine->GetWidget()->show();
        m_pEngine->SetLoadFinishedHandler([this](bool bOk) { m_aLoads.push_back(bOk); });
#endif
    }

#ifdef WP_HAVE_WEBENGINE
    // Opens a page (or refreshes) and waits until it has loaded.
    void Load(const std::function<void()> &fnStart)
    {
        const std::size_t nBefore = m_aLoads.size();
        fnStart();
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_aLoads.size() > nBefore; }, 120000));
        ASSERT_TRUE(m_aLoads.back());
    }

    QWebEngineView *View() const { return qobject_cast<QWebEngineView *>(m_pEngine->GetWidget()); }

    QVariant Script(const QString &strScript)
    {
        QWebEngineView *pView = View();
        EXPECT_TRUE(pView);
        if (!pView)
            return QVariant();
        std::optional<QVariant> result;
        pView->page()->runJavaScript(strScript, [&](const QVariant &value) { result = value; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 60000)) << strScript.toStdString();
        return result.value_or(QVariant());
    }

    // The engine puts a page back where it was by the text at the top of the
    // window, which may differ from the old offset by a few pixels.
    void ExpectScrolledNear(int nY)
    {
        int nNow = -1;
        const bool bNear = QTest::qWaitFor(
            [&] {
                nNow = Script("window.scrollY").toInt();
                return std::abs(nNow - nY) <= 20;
            },
            30000);
        EXPECT_TRUE(bNear) << "scrolled to " << nNow;
    }
#endif

    CTempDir m_dir;
    QWidget m_host;
    std::unique_ptr<CPreviewEngine> m_pEngine;
    std::vector<bool> m_aLoads;
};
