// Runs key scripts on a fresh simulated phone, for table-driven tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/text16.h"
#include "tools/key_session.h"

struct ScriptSettings {
    int reprMode = kReprDecimal;
    int angleUnit = kAngleRadian;
    int precision = 6;
    int groupDigits = 0;
};

inline Options OptionsWith(const ScriptSettings& settings)
{
    Options options;
    DefaultOptions(options);
    options.reprMode = settings.reprMode;
    options.angleUnit = settings.angleUnit;
    options.precision = settings.precision;
    options.groupDigits = settings.groupDigits;
    return options;
}

// Starts `session` with `settings` and runs `script`; the test fails on an unknown word.
inline void RunOn(KeySession& session, const std::string& script, const ScriptSettings& settings = {})
{
    StartSession(session, OptionsWith(settings));
    std::string bad;
    ASSERT_TRUE(RunKeyScript(session, script, &bad)) << "unknown word " << bad;
}

// The display line after `script`, e.g. "rd 5".
inline std::string Display(const std::string& script, const ScriptSettings& settings = {})
{
    static KeySession session;
    RunOn(session, script, settings);
    return DisplayLine(session);
}

// The engine's text as stored (no grouping, "&&" as two units), UTF-8.
inline std::string TextOf(const KeySession& session)
{
    std::string text;
    AppendUtf8(text, session.engine.text);
    return text;
}

inline std::string TextAfter(const std::string& script, const ScriptSettings& settings = {})
{
    static KeySession session;
    RunOn(session, script, settings);
    return TextOf(session);
}

// An engine on default options, for tests that call engine functions directly.
struct BareEngine {
    Options options;
    EngineState engine;
    BareEngine()
    {
        DefaultOptions(options);
        InitEngine(engine, options);
    }
    BareEngine(const BareEngine&) = delete;  // the engine points into `options`
};

struct ScriptCase {
    const char* script;
    const char* display;
};

inline void ExpectDisplays(const ScriptCase* cases, size_t count, const ScriptSettings& settings = {})
{
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ(Display(cases[i].script, settings), cases[i].display) << "keys: " << cases[i].script;
}

template <size_t N>
void ExpectDisplays(const ScriptCase (&cases)[N], const ScriptSettings& settings = {})
{
    ExpectDisplays(cases, N, settings);
}
