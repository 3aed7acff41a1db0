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
    <name>kvx::Prompter</name>
    <message>
        <source>Lumeno-KVX100 Manager</source>
        <translation>Lumeno-KVX100 Manager</translation>
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
