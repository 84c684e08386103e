// Objects in several apartments at once: each thread's objects, random
// sequence and error records are its own; one object called by several
// multithreaded callers answers each alike; the lock count returns to 0.
#include <atomic>
#include <thread>
#include <vector>

#include "client_support.h"

namespace corvane::server::test {
namespace {

using Trace = std::vector<double>;  // what one thread saw, in order

void Add(Trace& seen, IMatrix* m) {
    LONG rows = 0, cols = 0;
    seen.push_back(m != nullptr && m->get_Rows(&rows) == S_OK && m->get_Cols(&cols) == S_OK ? rows * 100 + cols : -1);
    for (LONG k = 0; k < rows * cols; ++k) {
        double v = 0;
        seen.push_back(m->get_Item(k / cols, k % cols, &v)), seen.push_back(v);
    }
}

std::atomic<int> g_waiting{0};
void StartTogether(int threads) {
    for (--g_waiting; g_waiting > -threads;) Sleep(0);
}

// CoCreateInstance on a multithreaded thread would host the object in COM's
// own apartment; through the class object it runs on the calling thread.
template <class T> Ptr<T> Make(bool mta, REFCLSID clsid, REFIID iid) {
    if (!mta) return Create<T>(clsid, iid);
    Ptr<T> object;
    if (Ptr<IClassFactory> factory = ClassObject(clsid)) factory->CreateInstance(nullptr, iid, object.outVoid());
    return object;
}

// Rounds of random fills, a solve, a product, a complex determinant and worker
// k's own failure (each of another message or class), with the record it left.
Trace Work(int k, int threads) {
    Trace seen;
    LONG rows = 0;
    const bool mta = k >= 2;
    const HRESULT init = CoInitializeEx(nullptr, mta ? COINIT_MULTITHREADED : COINIT_APARTMENTTHREADED);
    StartTogether(threads);
    if (init != S_OK) return {-1};
    {
        Ptr<IGlobal> global = Make<IGlobal>(mta, CLSID_Global, IID_IGlobal);
        Ptr<IMatrix> unsized = Make<IMatrix>(mta, CLSID_Matrix, IID_IMatrix);
        Ptr<ICMatrix> unsizedC = Make<ICMatrix>(mta, CLSID_CMatrix, IID_ICMatrix);
        for (int round = 0; round < 40 && global && unsized && unsizedC; ++round) {
            Ptr<IMatrix> a, b, x, aa;
            Ptr<ICMatrix> c;
            global->CreateMatrix(5, 5, a.out()), global->CreateMatrix(5, 2, b.out());
            global->CreateCMatrix(3, 3, c.out()), a->FillRandom(-1, 1, 3), b->FillRandom(0, 10, 2), c->FillRandom(0, 10, 0);
            IMatrix *rhs = b.get(), *self = a.get();
            Complex z{};
            double d = 0;
            seen.push_back(a->Solve(&rhs, x.out())), seen.push_back(a->Times(&self, aa.out()));
            seen.push_back(c->Determinant(&z)), seen.push_back(z.Real), seen.push_back(z.Imag);
            Add(seen, x.get()), Add(seen, aa.get());
            seen.push_back(k == 0   ? unsized->put_Rows(0)
                           : k == 1 ? unsized->Determinant(&d)
                           : k == 2 ? unsizedC->put_Cols(0)
                                    : unsizedC->Determinant(&z));
            const ErrorRecord r = TakeErrorRecord();
            seen.push_back(r.helpContext), seen.push_back(r.guid.Data1), seen.push_back(r.description.size());
            seen.push_back(unsized->get_Cols(&rows)), seen.push_back(TakeErrorRecord().present);  // none new
        }
    }
    CoUninitialize();
    return seen;
}

TEST(Apartments, EachThreadHasItsOwnObjectsRandomSequenceAndErrorRecords) {
    constexpr int kThreads = 4;  // 0 and 1 single-threaded, 2 and 3 multithreaded
    Trace alone[kThreads], together[kThreads];
    for (int k = 0; k < kThreads; ++k) g_waiting = 0, std::thread([&, k] { alone[k] = Work(k, 1); }).join();
    g_waiting = 0;
    std::vector<std::thread> threads;
    for (int k = 0; k < kThreads; ++k) threads.emplace_back([&, k] { together[k] = Work(k, kThreads); });
    for (std::thread& t : threads) t.join();
    for (int k = 0; k < kThreads; ++k) {
        EXPECT_GT(alone[k].size(), 40u * 80) << k;
        EXPECT_EQ(alone[k], together[k]) << "thread " << k << " saw another thread's draws or records";
    }
    EXPECT_EQ(S_OK, Dll().canUnloadNow());
}

// Several multithreaded callers at once reach an object of this (single-
// threaded) thread through COM's proxy, which runs their calls here in turn.
// (CoCreateInstance on a multithreaded thread would put the object in COM's
// host apartment, where Wine 8 keeps a reference to the class object for good.)
TEST(Apartments, OneObjectCalledFromSeveralMultithreadedCallersAtOnce) {
    constexpr int kCallers = 3, kRounds = 10;
    Ptr<IMatrix> shared = NewMatrix();
    ASSERT_TRUE(shared && shared->Size(3, 3) == S_OK);
    const double values[] = {4, 1, 0, 1, 3, 1, 0, 1, 2};
    for (LONG k = 0; k < 9; ++k) shared->put_Item(k / 3, k % 3, values[k]);
    auto call = [](IMatrix* m, Trace& t) {
        Ptr<IMatrix> product, inverse;
        double det = 0;
        t.push_back(m->Determinant(&det)), t.push_back(det), t.push_back(m->put_Rows(0));
        t.push_back(m->Times(&m, product.out())), t.push_back(m->Inverse(inverse.out()));
        Add(t, product.get()), Add(t, inverse.get());
    };
    Trace direct, seen[kCallers];
    call(shared.get(), direct), TakeErrorRecord();
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, CoMarshalInterThreadInterfaceInStream(IID_IMatrix, shared.get(), &stream));
    std::atomic<int> finished{0};
    Ptr<IMatrix> proxy;  // of the multithreaded apartment, which the first caller unmarshals it into
    std::vector<std::thread> callers;
    g_waiting = 0;
    for (int k = 0; k < kCallers; ++k)
        callers.emplace_back([&, k] {
            const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (k == 0 && init == S_OK) CoGetInterfaceAndReleaseStream(stream, IID_IMatrix, proxy.outVoid());
            StartTogether(kCallers);
            for (int round = 0; round < kRounds && init == S_OK && proxy; ++round) call(proxy.get(), seen[k]);
            StartTogether(2 * kCallers);  // the apartment outlives every call
            if (k == 0) proxy.reset();
            CoUninitialize(), ++finished;
        });
    for (int ms = 0; finished < kCallers && ms < 20000; ms += 10) {  // serve the calls
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    for (std::thread& t : callers) t.join();
    ASSERT_EQ(5u + 2 * 19, direct.size());
    for (const Trace& t : seen) {
        ASSERT_EQ(kRounds * direct.size(), t.size());
        for (size_t i = 0; i < t.size(); ++i) ASSERT_EQ(direct[i % direct.size()], t[i]) << i;
    }
    EXPECT_EQ(S_FALSE, Dll().canUnloadNow());
    shared.reset();
    EXPECT_EQ(S_OK, Dll().canUnloadNow());
}

}  // namespace
}  // namespace corvane::server::test
