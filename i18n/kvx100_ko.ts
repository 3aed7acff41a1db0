<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>kvx::AboutBox</name>
    <message>
        <source>Lumeno-KVX100 Manager Info</source>
        <translation>Lumeno-KVX100 Manager 정보</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager ver1.0.2</source>
        <translation>Lumeno-KVX100 Manager 버전 1.0.2</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
</context>
<context>
    <name>kvx::ConsolePane</name>
    <message>
        <source>Console</source>
        <translation>콘솔</translation>
    </message>
</context>
<context>
    <name>kvx::InformationPage</name>
    <message>
        <source>Back up</source>
        <translation>백업</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>복원</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>로그</translation>
    </message>
    <message>
        <source>Product Name</source>
        <translation>제품명</translation>
    </message>
    <message>
        <source>Model Code</source>
        <translation>모델 코드</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>버전</translation>
    </message>
    <message>
        <source>Product Serial Number</source>
        <translation>제품 일련번호</translation>
    </message>
    <message>
        <source>IP Address </source>
        <translation>IP 주소 </translation>
    </message>
    <message>
        <source>Control Port  </source>
        <translation>제어 포트  </translation>
    </message>
    <message>
        <source>MAC Address</source>
        <translation>MAC 주소</translation>
    </message>
    <message>
        <source>Bluetooth Friendly Name</source>
        <translation>블루투스 장치 이름</translation>
    </message>
    <message>
        <source>Bluetooth Address</source>
        <translation>블루투스 주소</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager Information</source>
        <translation>Lumeno-KVX100 Manager 정보</translation>
    </message>
    <message>
        <source>* Note :  You can&apos;t restore while bluetooth serial connected. </source>
        <translation>* 참고 :  블루투스 시리얼 연결 중에는 복원할 수 없습니다. </translation>
    </message>
    <message>
        <source>Reboot</source>
        <translation>재부팅</translation>
    </message>
    <message>
        <source>Get Version is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>버전 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Reboot is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>재부팅 응답 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Reboot is Failed. Try again.</source>
        <translation>재부팅에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::LoginExchange</name>
    <message>
        <source>Get UserID is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>사용자 ID 응답 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Password is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>비밀번호 응답 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::LoginWindow</name>
    <message>
        <source>Login</source>
        <translation>로그인</translation>
    </message>
    <message>
        <source>UserID</source>
        <translation>사용자 ID</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>비밀번호</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>확인</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
</context>
<context>
    <name>kvx::MainWindow</name>
    <message>
        <source>  Operation Mode  </source>
        <translation>  동작 모드  </translation>
    </message>
    <message>
        <source>  Bluetooth  </source>
        <translation>  블루투스  </translation>
    </message>
    <message>
        <source>  Connections  </source>
        <translation>  연결  </translation>
    </message>
    <message>
        <source>  Neighborhoods  </source>
        <translation>  주변 장치  </translation>
    </message>
    <message>
        <source>  Repeater  </source>
        <translation>  리피터  </translation>
    </message>
    <message>
        <source>  Lumeno-KVX100 Manager Information  </source>
        <translation>  Lumeno-KVX100 Manager 정보  </translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager</source>
        <translation>Lumeno-KVX100 Manager</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>페이지</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager ver1.0.2 Info(&amp;A)...</source>
        <translation>Lumeno-KVX100 Manager 버전 1.0.2 정보(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>도움말(&amp;H)</translation>
    </message>
    <message>
        <source>The application create Fail. Try again.</source>
        <translation>프로그램을 준비하지 못했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager : </source>
        <translation>Lumeno-KVX100 Manager : </translation>
    </message>
    <message>
        <source>Lumeno-KVX has been disconnected.</source>
        <translation>Lumeno-KVX와의 연결이 끊어졌습니다.</translation>
    </message>
</context>
<context>
    <name>kvx::OperationModePage</name>
    <message>
        <source>Operation Mode</source>
        <translation>동작 모드</translation>
    </message>
    <message>
        <source>Current Mode  :</source>
        <translation>현재 모드  :</translation>
    </message>
    <message>
        <source>Advanced Configuration</source>
        <translation>고급 설정</translation>
    </message>
    <message>
        <source>Mode Change</source>
        <translation>모드 변경</translation>
    </message>
    <message>
        <source>Server Mode</source>
        <translation>서버 모드</translation>
    </message>
    <message>
        <source>Client Mode</source>
        <translation>클라이언트 모드</translation>
    </message>
    <message>
        <source>Vertex Mode</source>
        <translation>버텍스 모드</translation>
    </message>
    <message>
        <source>Repeater Mode</source>
        <translation>리피터 모드</translation>
    </message>
    <message>
        <source>Serial Hub Mode</source>
        <translation>시리얼 허브 모드</translation>
    </message>
    <message>
        <source>RS232 Mode</source>
        <translation>RS232 모드</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>적용</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>검색</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>종료</translation>
    </message>
    <message>
        <source>Get Basic Information is timeout. Check Lumeno-KVX and Try again.</source>
        <translation>기본 정보 조회 시간이 초과되었습니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Get Basic Information is Failed. Retry again.</source>
        <translation>기본 정보 조회에 실패했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Timeout.</source>
        <translation>시간이 초과되었습니다.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>실패했습니다.</translation>
    </message>
    <message>
        <source>No advanced configuration needed.</source>
        <translation>고급 설정이 필요 없습니다.</translation>
    </message>
    <message>
        <source>* Note : Make sure of No Bluetooth Serial Connection to Lumeno-KVX.
           You can&apos;t change the operation mode while connected.</source>
        <translation>* 참고 : Lumeno-KVX에 블루투스 시리얼 연결이 없는지 확인하십시오.
           연결된 동안에는 동작 모드를 변경할 수 없습니다.</translation>
    </message>
</context>
<context>
    <name>kvx::Prompter</name>
    <message>
        <source>Lumeno-KVX100 Manager</source>
        <translation>Lumeno-KVX100 Manager</translation>
    </message>
</context>
<context>
    <name>kvx::RebootWaitWindow</name>
    <message>
        <source>Rebooting. . .  Wait a second.</source>
        <translation>재부팅 중. . .  잠시 기다려 주십시오.</translation>
    </message>
</context>
<context>
    <name>kvx::SearchConnectWindow</name>
    <message>
        <source>Product Name                   : </source>
        <translation>제품명                          : </translation>
    </message>
    <message>
        <source>Model Code                      : </source>
        <translation>모델 코드                       : </translation>
    </message>
    <message>
        <source>Product Serial Number       :  </source>
        <translation>제품 일련번호                  :  </translation>
    </message>
    <message>
        <source>IP Address                        : </source>
        <translation>IP 주소                           : </translation>
    </message>
    <message>
        <source>Control Port                       : </source>
        <translation>제어 포트                         : </translation>
    </message>
    <message>
        <source>MAC Address                    : </source>
        <translation>MAC 주소                        : </translation>
    </message>
    <message>
        <source>Bluetooth Friendly Name     : </source>
        <translation>블루투스 장치 이름             : </translation>
    </message>
    <message>
        <source>Bluetooth Address              : </source>
        <translation>블루투스 주소                   : </translation>
    </message>
    <message>
        <source>Search Lumeno-KVX</source>
        <translation>Lumeno-KVX 검색</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>연결</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>취소</translation>
    </message>
    <message>
        <source>Lumeno-KVX100 Manager</source>
        <translation>Lumeno-KVX100 Manager</translation>
    </message>
    <message>
        <source>Lumeno-KVX devices</source>
        <translation>Lumeno-KVX 장치 목록</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP 주소</translation>
    </message>
    <message>
        <source>Control Port</source>
        <translation>제어 포트</translation>
    </message>
    <message>
        <source>The application create Fail. Try again.</source>
        <translation>프로그램을 준비하지 못했습니다. 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>ReceiveData Error.</source>
        <translation>데이터 수신 오류입니다.</translation>
    </message>
    <message>
        <source>Search Error. Check Lumeno-KVX and Try again.</source>
        <translation>검색 오류입니다. Lumeno-KVX를 확인하고 다시 시도하십시오.</translation>
    </message>
    <message>
        <source>Detail Information</source>
        <translation>상세 정보</translation>
    </message>
    <message>
        <source>Lumeno-KVX Connection is failed.</source>
        <translation>Lumeno-KVX에 연결하지 못했습니다.</translation>
    </message>
    <message>
        <source>Check User name and Password.</source>
        <translation>사용자 ID와 비밀번호를 확인하십시오.</translation>
    </message>
</context>
</TS>
