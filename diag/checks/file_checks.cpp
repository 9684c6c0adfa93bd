// Package files against the manifest's file list. (placeholder until the checks land)
#include "app/troubleshooter_app.h"

int CTroubleshooterApp::CheckManifestFile() { return 1; }
int CTroubleshooterApp::LoadFileManifest() { return 1; }
int CTroubleshooterApp::CheckPackageFiles(wchar_t*) { return 1; }
int CTroubleshooterApp::CheckFileVersion(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, wchar_t*) { return 0; }
void CTroubleshooterApp::LogFileMismatch(int, const wchar_t*, const wchar_t*, unsigned, wchar_t* out) { out[0] = 0; }
wchar_t* CTroubleshooterApp::NextToken(wchar_t*, const wchar_t*, TokenizerState*) { return nullptr; }
void CTroubleshooterApp::InitTokenizer(TokenizerState*) {}
void CTroubleshooterApp::FreeTokenizer(TokenizerState*) {}
const wchar_t* CTroubleshooterApp::FindAnyOf(const wchar_t*, const wchar_t*) { return nullptr; }
