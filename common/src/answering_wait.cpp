#include "common/src/answering_wait.h"

namespace {

/* Handles every message sent to this thread; posted ones stay in the queue. Finding the queue
   empty of them is also what marks the thread idle for WaitForInputIdle. */
void answerSentMessages(void)
{
    MSG message;
    PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}

int waitAnswering(HANDLE object, DWORD timeoutMs)
{
    DWORD count = object ? 1 : 0;
    DWORD start = GetTickCount();
    for (;;) {
        answerSentMessages();
        DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs)
            return 0;
        DWORD result = MsgWaitForMultipleObjects(count, &object, FALSE, timeoutMs - waited,
                                                 QS_SENDMESSAGE);
        if (count && result == WAIT_OBJECT_0)
            return 1;
        if (result != WAIT_OBJECT_0 + count)
            return 0;
    }
}
