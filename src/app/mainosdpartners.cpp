#include "app/mainosdpartners.h"

bool CMainOsdPartners::Exists(osd::SelectionOwner owner) { return false; }
bool CMainOsdPartners::Pending(osd::SelectionOwner owner) { return false; }
void CMainOsdPartners::ClearPending(osd::SelectionOwner owner) {}
void CMainOsdPartners::ApplySelection(osd::SelectionOwner owner) {}
void CMainOsdPartners::SetDisplaySwitchModifier(int modifier) {}
void CMainOsdPartners::HideMessageWindow() {}
void CMainOsdPartners::ClearDispatcherMuteNote() {}
